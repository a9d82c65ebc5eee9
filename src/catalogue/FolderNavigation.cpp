#include "catalogue/FolderNavigation.h"

#include "files/FileServices.h"
#include "files/FileTexts.h"
#include "settings/SettingsFiles.h"
#include "workspace/Workspace.h"

#include <QDir>
#include <QFileInfo>

namespace tessaly {

FolderNavigation::FolderNavigation(const QString &movieRoot, files::NameOrder order)
    : m_movieRoot(files::withoutTrailingSeparators(movieRoot)), m_order(order)
{
    refresh();
}

files::Outcome<void> FolderNavigation::movieRootIsSet(const Workspace &workspace)
{
    if (fromSettings(workspace).movieRoot().trimmed().isEmpty())
        return files::Failure{{}, movieRootFirstText()};
    return {};
}

FolderNavigation FolderNavigation::fromSettings(const Workspace &workspace)
{
    if (!files::plainFileExists(workspace.settingsFile()))
        return FolderNavigation(QString());
    return FolderNavigation(SiteSettings::read(workspace).movieRoot(), settings::episodeOrder(workspace));
}

QString FolderNavigation::subPath() const
{
    QString path;
    for (const QString &level : m_levels)
        path += QDir::separator() + level;
    return path;
}

QString FolderNavigation::currentFolder() const
{
    QString folder = m_movieRoot;
    for (const QString &level : m_levels)
        folder = files::joinPath(folder, level);
    return folder;
}

QString FolderNavigation::pathOf(const QString &name) const
{
    return files::joinPath(currentFolder(), name);
}

QString FolderNavigation::relativePathOf(const QString &name) const
{
    return QStringList(m_levels + QStringList{name}).join(QDir::separator());
}

files::Outcome<void> FolderNavigation::confirmExists(const QString &name) const
{
    if (!files::folderExists(pathOf(name)))
        return files::Failure{pathOf(name), files::texts::folderMissing()};
    return {};
}

void FolderNavigation::refresh()
{
    m_folders.clear();
    // An empty root would be taken as the current folder by the listing.
    if (m_movieRoot.isEmpty())
        return;
    const files::Listing listing = files::listFolders(currentFolder(), m_order);
    for (const QString &path : listing.entries)
        m_folders.append(QFileInfo(path).fileName());
}

files::Outcome<void> FolderNavigation::open(const QString &name)
{
    if (files::Outcome<void> exists = confirmExists(name); !exists)
        return exists;
    m_levels.append(name);
    refresh();
    return {};
}

files::Outcome<void> FolderNavigation::up()
{
    if (m_levels.isEmpty())
        return files::Failure{{}, atRootText()};
    m_levels.removeLast();
    refresh();
    return {};
}

} // namespace tessaly
