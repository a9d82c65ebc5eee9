#pragma once

#include "files/Outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <QStringList>
#include <optional>

// Text files of the program: code page 936 with CR LF line ends.
namespace tessaly::text {

// Code page 936 when it can carry the whole text; otherwise GB18030, which
// gives the same bytes for every character that code page 936 has.
QByteArray encode(const QString &text);
// True when code page 936 carries every character of the text: `encode`
// of a text made of pieces uses it when each piece fits.
bool fitsCodePage936(QStringView text);
// Appends the text in code page 936 when it carries every character;
// otherwise false, with `out` as it was.
bool appendInCodePage936(QByteArray &out, QStringView text);

// Encodes a text that comes in pieces, giving together the bytes `encode`
// gives for the whole. Whether the whole fits code page 936 is asked of
// `fitsCodePage936` for every piece before the first is encoded.
class PieceEncoder
{
public:
    explicit PieceEncoder(bool fitsCodePage936);
    void appendTo(QByteArray &out, QStringView piece);

private:
    bool m_codePage936;
    QStringEncoder m_wide;
};

// How a file is written back: in code page 936, or, for a file that was
// read as UTF-8 without a mark, in UTF-8 without a mark again, so the
// editor that made it reads it again.
enum class Encoding
{
    CodePage936,
    Utf8WithoutMark
};

// The read rule. A UTF-8 or UTF-16 byte-order mark decides the encoding and
// is dropped (editors on Windows save files that way). Without one, bytes
// that are all valid UTF-8, hold at least one multi-byte character and only
// East Asian ones (what editors elsewhere save by default) are UTF-8: code
// page 936 text almost never forms such sequences, and where a short name's
// bytes do, they are characters below U+0800, which that rule leaves out.
// Every other file is code page 936, then GB18030 when the bytes are not
// valid code page 936. Nothing when the bytes are not valid in the encoding
// chosen. `encoding`, when given, is set to how the file is written back.
std::optional<QString> decode(const QByteArray &bytes, Encoding *encoding = nullptr);
bool startsWithByteOrderMark(const QByteArray &bytes);

// Bytes that the read rule gives back as exactly this text: code page 936,
// or GB18030 when code page 936 cannot; nothing when neither comes back
// whole (some characters' GB18030 bytes read back as other characters).
// The user's own files are written this way, so no save changes them. A
// file read as UTF-8 without a mark stays so while the read rule takes its
// new text for UTF-8; one that gained a character outside East Asian
// scripts is written in code page 936, since as UTF-8 it would read back
// garbled.
std::optional<QByteArray> encodeReadable(const QString &text, Encoding encoding = Encoding::CodePage936);
// True when every character of the text survives that round trip on its
// own, so the text can be saved whatever else its file holds. A lone
// surrogate never does.
bool hasOnlyStorableCharacters(const QString &text);
inline QString unstorableFileText()
{
    return QStringLiteral("文件中含有无法保存的字符!");
}

// The encoded text followed by CR LF: a text file's bytes.
QByteArray fileBytes(const QString &text);
// Replaces the file atomically with `fileBytes(text)`.
files::Outcome<void> writeTextFile(const QString &path, const QString &text);
// Why a file that was read could not be decoded.
QString undecodableReason();
// All of the file decoded, line ends unchanged; the failure at the path
// when it cannot be read or decoded. `encoding` as for `decode`.
files::Outcome<QString> readWholeText(const QString &path, Encoding *encoding = nullptr);
// The file's lines without their ends (CR LF, LF or CR). A final line end
// does not make an extra empty line.
files::Outcome<QStringList> readTextLines(const QString &path);
QStringList splitLines(const QString &text);

} // namespace tessaly::text
