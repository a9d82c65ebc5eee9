#pragma once

#include <QString>

namespace tessaly {

// Starts this program anew as a process of its own that works in
// `workspace` (`--workspace`), without waiting for it. False, with the
// reason, when it cannot be started.
bool restartProgramOn(const QString &workspace, QString *reason);

} // namespace tessaly
