#pragma once

#include <QIcon>

namespace tessaly {

// The program's icon in every size rendered for the desktop's icon theme, for
// the window and the task bar.
QIcon programIcon();

} // namespace tessaly
