#pragma once

#include <QString>
#include <functional>

namespace tessaly::covers {

// True when the file loads as a picture, whatever its name says.
bool isLoadablePicture(const QString &file);

// Makes the picture file the project's cover. A failure is reported with
// the cover's path and the reason, and the old cover stays; true once the
// cover is written.
using CoverWriter = std::function<bool(const QString &picture)>;

} // namespace tessaly::covers
