#pragma once

#include <QIcon>

namespace tessaly {

// The seven row icons shared by the window's lists: 1 episode, 2 to 6 the
// kinds of progress line, 7 project.
QIcon rowIcon(int number);

} // namespace tessaly
