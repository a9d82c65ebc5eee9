#include "settings/EditedSettings.h"

#include "app/Workspace.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "settings/IniFile.h"
#include "settings/SettingsFiles.h"

namespace tessaly {

EditedSettings EditedSettings::read(const Workspace &workspace)
{
    EditedSettings edited;
    if (!files::plainFileExists(workspace.settingsFile()))
        return edited;

    const SiteSettings site = SiteSettings::read(workspace);
    edited.movieFile = site.movieFile;
    edited.webFile = site.webFile;
    edited.webLink = site.webLink;
    edited.webUpdate = site.publishes();
    edited.coverSearch1 = settings::siteValue(workspace, QLatin1String(settings::CoverSearch1Key));
    edited.coverSearch2 = settings::siteValue(workspace, QLatin1String(settings::CoverSearch2Key));
    return edited;
}

bool EditedSettings::save(const Workspace &workspace) const
{
    SiteSettings site;
    site.webUpdate = webUpdate ? QStringLiteral("True") : QStringLiteral("False");
    site.movieFile = movieFile;
    site.webFile = webFile;
    site.webLink = webLink;

    const QString file = workspace.settingsFile();
    const QString section = QLatin1String(settings::Section);
    QString reason;
    const bool written =
        site.write(workspace, &reason) &&
        ini::write(section, QLatin1String(settings::CoverSearch1Key), coverSearch1, file, &reason) &&
        ini::write(section, QLatin1String(settings::CoverSearch2Key), coverSearch2, file, &reason);
    if (!written)
        Messages::error(Messages::withPath(file, reason));
    return written;
}

namespace settings {

bool testFolder(const QString &path, const QString &emptyText)
{
    if (path.isEmpty()) {
        Messages::error(emptyText);
        return false;
    }
    if (files::folderExists(path)) {
        Messages::information(QStringLiteral("连接成功!"));
        return true;
    }
    Messages::error(QStringLiteral("连接失败!"));
    return false;
}

} // namespace settings
} // namespace tessaly
