#pragma once

#include "files/Outcome.h"

#include <QList>
#include <QString>
#include <utility>

// The private-profile INI format, read and written by the program itself:
// `[Section]` headers and `key=value` lines, names matched without regard to
// case, values stored bare. The first matching section and key are the ones
// read and replaced; every other line is kept as it was.
namespace tessaly::ini {

// `GetINI`: the stored value, or empty text when file, section or key is missing.
QString read(const QString &section, const QString &key, const QString &file);
// Creates the file, section and key when missing; replaces the value otherwise.
// The file is written in bytes that read back as the same text, in the
// encoding it was read in; when there are none (`text::encodeReadable`),
// nothing is written and the reason is "文件中含有无法保存的字符!". A failure
// names `file`.
files::Outcome<void> write(const QString &section, const QString &key, const QString &value,
                           const QString &file);
// Several keys, in this order, with one replacement of the file: all or none.
using KeyValues = QList<std::pair<QString, QString>>;
files::Outcome<void> write(const QString &section, const KeyValues &values, const QString &file);

// The same rules on text in memory.
QString valueIn(const QString &content, const QString &section, const QString &key);
QString withValue(const QString &content, const QString &section, const QString &key, const QString &value);

} // namespace tessaly::ini
