#include "settings/EditedSettings.h"

#include "files/FileServices.h"
#include "files/TextFile.h"
#include "platform/Messages.h"
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

QString EditedSettings::readFailure(const Workspace &workspace)
{
    const QString file = workspace.settingsFile();
    if (!files::plainFileExists(file))
        return {};
    QString reason;
    if (text::readWholeText(file, &reason))
        return {};
    return Messages::withPath(file, reason);
}

bool EditedSettings::save(const Workspace &workspace) const
{
    for (const QString &folder : {movieFile, webFile}) {
        const QString refusal = settings::recordedPathRefusal(folder);
        if (!refusal.isEmpty()) {
            Messages::error(refusal);
            return false;
        }
    }
    SiteSettings site;
    site.webUpdate = webUpdate ? QStringLiteral("True") : QStringLiteral("False");
    site.movieFile = movieFile;
    site.webFile = webFile;
    site.webLink = webLink;

    const QString file = workspace.settingsFile();
    const QString section = QLatin1String(settings::Section);
    QString reason;
    ini::KeyValues values = site.keyValues();
    values.append({QLatin1String(settings::CoverSearch1Key), coverSearch1});
    values.append({QLatin1String(settings::CoverSearch2Key), coverSearch2});
    values.append({QLatin1String(settings::NaturalOrderKey),
                   naturalOrder ? QStringLiteral("True") : QStringLiteral("False")});
    values.append({QLatin1String(settings::CheckVideosKey),
                   checkVideos ? QStringLiteral("True") : QStringLiteral("False")});
    bool written = false;
    if (replaceUnreadableFile && !readFailure(workspace).isEmpty()) {
        QString content;
        for (const auto &[key, value] : values)
            content = ini::withValue(content, section, key, value);
        if (const std::optional<QByteArray> bytes = text::encodeReadable(content))
            written = files::writeFileAtomically(file, *bytes, &reason);
        else
            reason = text::unstorableFileText();
    } else {
        written = ini::write(section, values, file, &reason);
    }
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
