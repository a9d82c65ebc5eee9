#pragma once

#include <QString>

namespace tessaly::settings {

// Why a folder path cannot be recorded in an INI file, as the message the
// user sees (the path, CR LF, the reason); empty text when it can. The INI
// reader trims blanks and tabs around a value and a line break ends it, so
// such a path would read back as another folder, with no word said; and a
// character the file cannot carry would come back as another one.
QString recordedPathRefusal(const QString &path);

} // namespace tessaly::settings
