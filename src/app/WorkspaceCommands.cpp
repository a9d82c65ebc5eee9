#include "app/WorkspaceCommands.h"

#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "platform/Messages.h"
#include "settings/SettingsFiles.h"
#include "site/PageSet.h"
#include "site/Style.h"
#include "workspace/Workspace.h"

#include <QStringList>

namespace tessaly::workspace_commands {

namespace {

FolderToOpen folderOf(const QString &path)
{
    return {files::folderExists(path) ? FolderToOpen::Outcome::Open : FolderToOpen::Outcome::Missing, path};
}

FolderToOpen siteSettingFolder(const Workspace &workspace, const QString &key, bool isMovieRoot)
{
    if (!files::plainFileExists(workspace.settingsFile()))
        return {};
    const QString value = settings::siteValue(workspace, key);
    return folderOf(isMovieRoot && !value.isEmpty() ? files::withoutTrailingSeparators(value) : value);
}

} // namespace

FolderToOpen styleFolder(const Workspace &workspace)
{
    // The folder of the set in use, with its templates there to edit even
    // before the first run after the set was chosen.
    const PageSet set = chosenPageSet(workspace);
    if (set == PageSet::Modern && files::folderExists(workspace.style()))
        writeMissingTemplates(workspace, set);
    return folderOf(templateFolder(workspace, set));
}

QString styleFolderMissingText()
{
    return QStringLiteral("Style文件夹不存在!");
}

FolderToOpen movieFolder(const Workspace &workspace)
{
    return siteSettingFolder(workspace, QStringLiteral("MovieFile"), true);
}

FolderToOpen siteFolder(const Workspace &workspace)
{
    return siteSettingFolder(workspace, QStringLiteral("WebFile"), false);
}

FolderClearing cacheClearing(const Workspace &workspace)
{
    return {workspace.temp(), QStringLiteral("要清空缓存文件吗?"), QStringLiteral("清空缓存完毕!")};
}

FolderClearing logClearing(const Workspace &workspace)
{
    return {workspace.log(), QStringLiteral("要清空日志吗?"), QStringLiteral("清空日志完毕!")};
}

QString ClearResult::failureText() const
{
    QStringList parts;
    for (const Failure &failure : failures)
        parts.append(Messages::withPath(failure.path, failure.reason));
    return parts.join(QStringLiteral("\r\n"));
}

ClearResult clearFolderFiles(const QString &folder)
{
    ClearResult result;
    if (!files::folderExists(folder)) {
        result.folderMissing = true;
        return result;
    }
    // By the names' bytes, so that a name that is not valid UTF-8 goes too.
    const files::OpenFolder open(folder);
    const files::Listing listing = open.listFiles();
    if (!listing.ok()) {
        result.failures.append({folder, listing.failure->reason});
        return result;
    }
    for (const QByteArray &name : listing.encodedEntries) {
        if (const files::Outcome<void> removed = open.remove(name))
            ++result.deleted;
        else
            result.failures.append({open.pathOf(name), removed.failure().reason});
    }
    return result;
}

QString siteLink(const Workspace &workspace)
{
    if (!files::plainFileExists(workspace.settingsFile()))
        return {};
    return settings::siteValue(workspace, QStringLiteral("WebLink"));
}

QString siteLinkFirstText()
{
    return QStringLiteral("请先在设置中填写站点链接!");
}

} // namespace tessaly::workspace_commands
