#include "settings/FolderBrowsing.h"

#include "files/FileServices.h"

#include <QDir>

namespace tessaly::settings {

QString browseStartFolder(const QString &boxText)
{
    // An empty box would name the working folder.
    if (!boxText.isEmpty() && files::folderExists(boxText))
        return boxText;
    return QDir::homePath();
}

} // namespace tessaly::settings
