#pragma once

#include <QString>

// The private-profile INI format, read and written by the program itself:
// `[Section]` headers and `key=value` lines, names matched without regard to
// case, values stored bare. The first matching section and key are the ones
// read and replaced; every other line is kept as it was.
namespace tessaly::ini {

// `GetINI`: the stored value, or empty text when file, section or key is missing.
QString read(const QString &section, const QString &key, const QString &file);
// Creates the file, section and key when missing; replaces the value otherwise.
bool write(const QString &section, const QString &key, const QString &value, const QString &file,
           QString *reason = nullptr);

// The same rules on text in memory.
QString valueIn(const QString &content, const QString &section, const QString &key);
QString withValue(const QString &content, const QString &section, const QString &key, const QString &value);

} // namespace tessaly::ini
