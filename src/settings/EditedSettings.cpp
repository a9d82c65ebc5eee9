#include "settings/EditedSettings.h"

#include "files/FileServices.h"
#include "files/TextFile.h"
#include "settings/IniFile.h"
#include "settings/RecordedPaths.h"
#include "settings/SettingsFiles.h"
#include "workspace/Workspace.h"

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
    edited.naturalOrder =
        settings::nameOrderFor(settings::siteValue(workspace, QLatin1String(settings::NaturalOrderKey))) ==
        files::NameOrder::Natural;
    edited.checkVideos =
        settings::checksVideosFor(settings::siteValue(workspace, QLatin1String(settings::CheckVideosKey)));
    return edited;
}

std::optional<files::Failure> EditedSettings::readFailure(const Workspace &workspace)
{
    const QString file = workspace.settingsFile();
    if (!files::plainFileExists(file))
        return std::nullopt;
    const files::Outcome<QString> read = text::readWholeText(file);
    if (read)
        return std::nullopt;
    return read.failure();
}

files::Outcome<void> EditedSettings::save(const Workspace &workspace) const
{
    for (const QString &folder : {movieFile, webFile}) {
        if (std::optional<files::Failure> refusal = settings::recordedPathFailure(folder))
            return std::move(*refusal);
    }
    SiteSettings site;
    site.webUpdate = webUpdate ? QStringLiteral("True") : QStringLiteral("False");
    site.movieFile = movieFile;
    site.webFile = webFile;
    site.webLink = webLink;

    const QString file = workspace.settingsFile();
    const QString section = QLatin1String(settings::Section);
    ini::KeyValues values = site.keyValues();
    values.append({QLatin1String(settings::CoverSearch1Key), coverSearch1});
    values.append({QLatin1String(settings::CoverSearch2Key), coverSearch2});
    values.append({QLatin1String(settings::NaturalOrderKey),
                   naturalOrder ? QStringLiteral("True") : QStringLiteral("False")});
    values.append({QLatin1String(settings::CheckVideosKey),
                   checkVideos ? QStringLiteral("True") : QStringLiteral("False")});
    if (replaceUnreadableFile && readFailure(workspace)) {
        QString content;
        for (const auto &[key, value] : values)
            content = ini::withValue(content, section, key, value);
        const std::optional<QByteArray> bytes = text::encodeReadable(content);
        if (!bytes)
            return files::Failure{file, text::unstorableFileText()};
        return files::writeFileAtomically(file, *bytes);
    }
    return ini::write(section, values, file);
}

namespace settings {

FolderTest testFolder(const QString &path, const QString &emptyText)
{
    if (path.isEmpty())
        return {false, emptyText};
    if (files::folderExists(path))
        return {true, QStringLiteral("连接成功!")};
    return {false, QStringLiteral("连接失败!")};
}

} // namespace settings
} // namespace tessaly
