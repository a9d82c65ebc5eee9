#include "settings/SettingsFiles.h"

#include "files/FileServices.h"
#include "settings/IniFile.h"
#include "workspace/Workspace.h"

namespace tessaly {

namespace {

QString section()
{
    return QString::fromLatin1(settings::Section);
}

} // namespace

QString SiteSettings::movieRoot() const
{
    return files::withoutTrailingSeparators(movieFile);
}

SiteSettings SiteSettings::read(const Workspace &workspace)
{
    SiteSettings result;
    const QString file = workspace.settingsFile();
    if (!files::plainFileExists(file))
        return result;
    result.movieFile = ini::read(section(), QStringLiteral("MovieFile"), file);
    result.webFile = ini::read(section(), QStringLiteral("WebFile"), file);
    result.webLink = ini::read(section(), QStringLiteral("WebLink"), file);
    result.webUpdate = ini::read(section(), QStringLiteral("WebUpdate"), file);
    return result;
}

ini::KeyValues SiteSettings::keyValues() const
{
    return {{QStringLiteral("WebUpdate"), webUpdate},
            {QStringLiteral("MovieFile"), movieFile},
            {QStringLiteral("WebFile"), webFile},
            {QStringLiteral("WebLink"), webLink}};
}

files::Outcome<void> SiteSettings::write(const Workspace &workspace) const
{
    return ini::write(section(), keyValues(), workspace.settingsFile());
}

namespace settings {

QString siteValue(const Workspace &workspace, const QString &key)
{
    return ini::read(section(), key, workspace.settingsFile());
}

QString episodeFolder(const Workspace &workspace, const QString &project)
{
    return ini::read(section(), QStringLiteral("File"), workspace.projectSettingsFile(project));
}

files::Outcome<void> setEpisodeFolder(const Workspace &workspace, const QString &project,
                                      const QString &folder)
{
    return ini::write(section(), QStringLiteral("File"), folder, workspace.projectSettingsFile(project));
}

files::NameOrder nameOrderFor(const QString &naturalOrderValue)
{
    return naturalOrderValue == QLatin1String("False") ? files::NameOrder::Text : files::NameOrder::Natural;
}

files::NameOrder episodeOrder(const Workspace &workspace)
{
    if (!files::plainFileExists(workspace.settingsFile()))
        return files::NameOrder::Natural;
    return nameOrderFor(siteValue(workspace, QLatin1String(NaturalOrderKey)));
}

bool checksVideosFor(const QString &checkVideosValue)
{
    return checkVideosValue != QLatin1String("False");
}

bool checksVideos(const Workspace &workspace)
{
    return !files::plainFileExists(workspace.settingsFile()) ||
           checksVideosFor(siteValue(workspace, QLatin1String(CheckVideosKey)));
}

} // namespace settings
} // namespace tessaly
