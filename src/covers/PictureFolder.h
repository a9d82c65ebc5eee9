#pragma once

#include <QString>

namespace tessaly::covers {

// Where "选取封面" opens its file dialog: the folder of the picture last
// chosen when it still exists, else the user's pictures folder when there is
// one, else the home folder; never the program's working folder. The last
// folder is kept in the user's configuration, so it lasts across starts.
QString pictureStartFolder();
void rememberPictureFolder(const QString &picture);

} // namespace tessaly::covers
