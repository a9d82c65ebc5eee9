#pragma once

#include "files/Outcome.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <optional>

namespace tessaly {

namespace files {
class OpenFolder;
}

// The record of the files publishing has put into the site folder (and the
// web copies of episodes written there), kept in the site folder itself as
// a dot-named file: one entry per line, each a path relative to the site
// folder ("Data/one.html", "Image/one.jpg", "Subtitle/one/第1集.mp4.1.vtt",
// "Video/Series/1.mkv.mp4", and "index.html" once the site's own index page
// is the program's). Only what it names may ever be removed as stale.
//
// The site folder is one others may write, so the record is untrusted
// input: an entry that is not a plain file name inside one of the
// publishing folders (or, in `Subtitle`, inside a plain-named folder of it;
// web copies lie in folders of their own below `Video`) is dropped, and a
// record that is not whole (no header line or no closing line) counts as no
// record at all.
namespace published {

// ".tessaly-published"
QByteArray recordName();
// "index.html", the one entry outside the publishing folders.
QByteArray indexEntry();

// "Data/" + name and its kin.
QByteArray entryOf(const QByteArray &folder, const QByteArray &name);
// Whether an entry of a record may be acted on: "index.html", a usable
// file name inside a publishing folder, or a web copy
// ("Video/<folder>/.../<name>.mp4", each part a usable file name).
bool isAcceptableEntry(const QByteArray &entry);
// A name publishing could have given a file or folder: not empty, not "."
// or "..", not hidden, no separator and no control character.
bool isUsableFileName(const QByteArray &name);

// The valid entries of the site folder's record; nothing when there is no
// whole record.
std::optional<QSet<QByteArray>> read(const files::OpenFolder &site);
// Replaces the record with these entries, whole or not at all. A failure
// names the record file.
files::Outcome<void> write(const files::OpenFolder &site, const QSet<QByteArray> &entries);

// The names in `entries` of files directly inside `folder` ("Data",
// "Subtitle/one").
QSet<QByteArray> namesIn(const QSet<QByteArray> &entries, const QByteArray &folder);
// The names in `entries` of folders directly inside `folder` ("Subtitle").
QSet<QByteArray> foldersIn(const QSet<QByteArray> &entries, const QByteArray &folder);

} // namespace published

} // namespace tessaly
