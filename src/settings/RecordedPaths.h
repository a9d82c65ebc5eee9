#pragma once

#include <QString>

namespace tessaly::settings {

// Why a folder path cannot be recorded in an INI file, as the message the
// user sees (the path, CR LF, the reason); empty text when it can. The INI
// reader trims blanks and tabs around a value and a line break ends it, so
// such a path would read back as another folder, with no word said; and a
// character the file cannot carry would come back as another one.
QString recordedPathRefusal(const QString &path);
// The part of that refusal for a path Qt got from bytes that are not UTF-8,
// which names another folder than the one on disk: nothing can be listed
// or recorded through it.
QString undecodedPathRefusal(const QString &path);

} // namespace tessaly::settings
