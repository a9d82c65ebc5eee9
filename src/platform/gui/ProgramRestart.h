#pragma once

#include <QString>
#include <optional>

namespace tessaly {

// Starts this program anew as a process of its own that works in
// `workspace` (`--workspace`), without waiting for it. The reason when it
// cannot be started; nothing once it is on its way. (The platform layer
// stands on no other, so the reason is plain text, not a `files::Failure`.)
std::optional<QString> restartProgramOn(const QString &workspace);

} // namespace tessaly
