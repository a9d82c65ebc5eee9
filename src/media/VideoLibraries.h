#pragma once

#include <QString>

namespace tessaly::media {

// Loads the video libraries the first time it is called, from any thread,
// and checks that each function the program calls is there. Empty when
// they are loaded; otherwise the reason the command that needs them
// reports ("无法载入视频库 …"), the same on every later call. No video
// library function may be called before this has succeeded.
QString loadVideoLibraries();

// The reason given when the library named by `soname` cannot be loaded.
QString libraryFailure(const QString &soname, const QString &detail);

// Keeps the video libraries' own diagnostics off standard error; the
// program reports failures itself. Loads the libraries when they are not
// yet; false when they cannot be.
bool silenceVideoLibraries();

} // namespace tessaly::media
