#include "covers/PictureFolder.h"

#include "files/FileServices.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace tessaly::covers {

namespace {

const QString LastPictureFolderKey = QStringLiteral("Covers/LastPictureFolder");

// The user's configuration, never the workspace.
std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tessaly"),
                                       QStringLiteral("Tessaly"));
}

} // namespace

QString pictureStartFolder()
{
    const QString last = userSettings()->value(LastPictureFolderKey).toString();
    if (!last.isEmpty() && QDir::isAbsolutePath(last) && files::folderExists(last))
        return last;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && files::folderExists(pictures))
        return pictures;
    return QDir::homePath();
}

void rememberPictureFolder(const QString &picture)
{
    const QFileInfo file(picture);
    if (!file.isAbsolute())
        return;
    userSettings()->setValue(LastPictureFolderKey, QDir::toNativeSeparators(file.absolutePath()));
}

} // namespace tessaly::covers
