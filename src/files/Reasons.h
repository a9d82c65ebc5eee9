#pragma once

#include <QString>

namespace tessaly::files {

// Why a call of the file system failed, worded for the user from the error
// number the failing call left. Take the number right at that call: later
// calls (a clean-up, Qt's own error text) overwrite it.
QString reasonFor(int errnum);

} // namespace tessaly::files
