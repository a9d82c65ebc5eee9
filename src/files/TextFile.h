#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Text files of the program: code page 936 with CR LF line ends.
namespace tessaly::text {

// Code page 936 when it can carry the whole text; otherwise GB18030, which
// gives the same bytes for every character that code page 936 has.
QByteArray encode(const QString &text);
// Code page 936; GB18030 when the bytes are not valid code page 936;
// nothing when neither can decode them.
std::optional<QString> decode(const QByteArray &bytes);

// The encoded text followed by CR LF: a text file's bytes.
QByteArray fileBytes(const QString &text);
// Replaces the file atomically with `fileBytes(text)`.
bool writeTextFile(const QString &path, const QString &text, QString *reason = nullptr);
// All of the file decoded, line ends unchanged.
std::optional<QString> readWholeText(const QString &path, QString *reason = nullptr);
// The file's lines without their ends (CR LF, LF or CR). A final line end
// does not make an extra empty line.
std::optional<QStringList> readTextLines(const QString &path, QString *reason = nullptr);
QStringList splitLines(const QString &text);

} // namespace tessaly::text
