#include "workspace/Workspace.h"

#include "files/FileServices.h"

#include <QDir>
#include <QStandardPaths>

namespace tessaly {

Workspace::Workspace(QString applicationFolder)
    : m_root(files::withoutTrailingSeparators(QDir::cleanPath(QDir(applicationFolder).absolutePath())))
{}

QString Workspace::path(const QString &relative) const
{
    return files::joinPath(m_root, relative);
}

QString Workspace::web() const
{
    return path(QStringLiteral("Web"));
}

QString Workspace::webData() const
{
    return path(QStringLiteral("Web/Data"));
}

QString Workspace::webImage() const
{
    return path(QStringLiteral("Web/Image"));
}

QString Workspace::setting() const
{
    return path(QStringLiteral("Setting"));
}

QString Workspace::data() const
{
    return path(QStringLiteral("Data"));
}

QString Workspace::log() const
{
    return path(QStringLiteral("Log"));
}

QString Workspace::style() const
{
    return path(QStringLiteral("Style"));
}

QString Workspace::temp() const
{
    return path(QStringLiteral("Temp"));
}

QString Workspace::indexPage() const
{
    return path(QStringLiteral("Web/index.html"));
}

QString Workspace::playPage(const QString &project) const
{
    return webData() + u'/' + project + QStringLiteral(".html");
}

QString Workspace::coverFile(const QString &project) const
{
    return webImage() + u'/' + project + QStringLiteral(".jpg");
}

QString Workspace::settingsFile() const
{
    return path(QStringLiteral("Setting/Setting.ini"));
}

QString Workspace::projectSettingsFile(const QString &project) const
{
    return setting() + u'/' + project + QStringLiteral(".ini");
}

QString Workspace::listFile() const
{
    return path(QStringLiteral("Setting/List.ini"));
}

QString Workspace::styleFile() const
{
    return path(QStringLiteral("Style/Style.ini"));
}

QString Workspace::styleTemplate(const QString &fileName) const
{
    return style() + u'/' + fileName;
}

QString Workspace::skinFile() const
{
    return path(QStringLiteral("Skin.qss"));
}

QString Workspace::lockFile() const
{
    return path(QStringLiteral(".tessaly.lock"));
}

QStringList Workspace::startupFolders()
{
    return {QStringLiteral("Web"),     QStringLiteral("Web/Data"), QStringLiteral("Web/Image"),
            QStringLiteral("Setting"), QStringLiteral("Data"),     QStringLiteral("Log"),
            QStringLiteral("Style")};
}

QStringList Workspace::createFolders() const
{
    QStringList failures;
    for (const QString &relative : startupFolders()) {
        const QString folder = path(relative);
        if (files::directoryExists(folder))
            continue;
        QString reason;
        if (!files::makeFolder(folder, &reason))
            failures.append(folder + QStringLiteral(": ") + reason);
    }
    return failures;
}

QString chooseWorkspaceFolder(const QString &executableFolder, const QString &requestedFolder)
{
    if (!requestedFolder.isEmpty())
        return QDir(requestedFolder).absolutePath();
    const QString desktopEntry =
        QDir(executableFolder).filePath(QStringLiteral("../share/applications/tessaly.desktop"));
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!files::plainFileExists(desktopEntry) || dataFolder.isEmpty())
        return executableFolder;
    const QString folder = dataFolder + QStringLiteral("/Tessaly");
    // A folder that cannot be made is reported with its path by the start-up
    // that finds it missing.
    QDir().mkpath(folder);
    return folder;
}

} // namespace tessaly
