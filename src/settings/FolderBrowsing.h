#pragma once

#include <QString>

namespace tessaly::settings {

// Where a "浏览..." folder dialog opens: the folder the box names when it
// exists, else the home folder (never the program's working folder).
QString browseStartFolder(const QString &boxText);

} // namespace tessaly::settings
