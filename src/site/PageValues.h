#pragma once

#include "media/EpisodeCheck.h"

#include <QString>
#include <QStringView>
#include <optional>

// How values are made safe for the place of a page they are filled into.
// Names without the characters named below come out unchanged.
namespace tessaly::page {

// A piece of a URL path: "%", "#", "?", the double quote, backslash, "<",
// ">", "&" and characters below U+0020 percent-encoded (UTF-8, uppercase
// hex); everything else, "/", spaces and non-ASCII included, stays. "&" is
// encoded because the address lands in HTML, where "&amp;" would be read
// as "&".
QString urlPathPiece(const QString &value);
// A file name as the file system holds it, as a URL piece: a valid UTF-8
// name as `urlPathPiece` gives it; in any other name every byte from 0x80
// up is percent-encoded too, so the link reaches exactly that file.
QString fileNameUrlPiece(const QByteArray &encodedName);
// The same, for a name already decoded as UTF-8 (as a listing decodes it).
QString fileNameUrlPiece(const QByteArray &encodedName, const QString &decoded);
// "&", "<", ">" and the double quote as character references.
QString htmlEscaped(const QString &value);
// For a JavaScript string literal in either quote: backslash before each
// backslash and quote, "<" as \x3C, CR, LF, U+2028 and U+2029 escaped.
QString scriptEscaped(const QString &value);

// The new page set's forms of the three: "[" is written as a reference or
// escape too, so that no value, however it is named, can form a
// placeholder with the text a later replacement puts after it.
QString htmlEscapedStrict(const QString &value);
QString urlPathPieceStrict(const QString &value);
QString fileNameUrlPieceStrict(const QByteArray &encodedName, const QString &decoded);
// Appends the value as a JSON string for a `<script>` block: quoted, with
// the quote, backslash and control characters escaped, "<", ">", "&", "[",
// U+2028 and U+2029 as \u escapes, and a lone surrogate as U+FFFD.
void appendJsonString(QString &out, QStringView value);
// A JSON number for a duration in seconds; "null" when unknown or not a
// finite, non-negative number.
QString jsonSeconds(std::optional<double> seconds);
// A duration as a viewer reads it, to the nearest second: "42:10",
// "12:34:56", "0:05"; the same on the pages as in the window.
using media::durationText;

// The episode folder relative to the movie root (taken without trailing
// separators): the root is removed from the start when the folder is the
// root or continues it after a separator; the root "/" removes nothing;
// any other folder is taken whole.
QString relativeFolderPath(const QString &episodeFolder, const QString &movieRoot);

// A web copy, given by its path relative to the site folder
// ("Video/a/x.mkv.mp4"), as the classic templates take an episode, which
// they fetch from "../movie[[MovieFile]]/<file name>": the [[MovieFile]]
// that leads from `movie` to the copy's folder ("/../Video/a"; browsers
// resolve the dot segments before they ask) and the copy's file name.
// Neither is escaped.
struct ClassicAddress
{
    QString movieFile;
    QString fileName;
};
ClassicAddress classicAddressOf(const QString &webCopy);

// The file name up to, not including, its last "."; the whole name when it
// has no ".".
QString nameWithoutExtension(const QString &fileName);

} // namespace tessaly::page
