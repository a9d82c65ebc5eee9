#pragma once

#include <QString>

namespace tessaly::covers {

// True when the file loads as a picture, whatever its name says.
bool isLoadablePicture(const QString &file);

// Makes the picture file the project's cover: copied under a hidden
// temporary name in the cover folder and renamed over the cover. A failure
// is reported with the cover's path and the reason; the old cover stays.
bool writeCoverFrom(const QString &picture, const QString &coverFile);

} // namespace tessaly::covers
