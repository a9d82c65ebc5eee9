#include "workspace/Workspace.h"

#include "files/FileServices.h"

#include <QDir>

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
        if (files::pathExists(folder))
            continue;
        if (const files::Outcome<void> made = files::makeFolder(folder); !made)
            failures.append(folder + QStringLiteral(": ") + made.failure().reason);
    }
    return failures;
}

namespace {

// A variable that names a folder counts only as an absolute path: a
// relative one would depend on the folder the program was started in.
QString absolutePathIn(const char *variable)
{
    const QString value = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(value) ? files::withoutTrailingSeparators(QDir::cleanPath(value)) : QString();
}

} // namespace

QString noDataFolderText()
{
    return QStringLiteral("无法确定用户数据文件夹,请用 --workspace 指定工作区");
}

files::Outcome<QString> userDataFolder()
{
    QString dataFolder = absolutePathIn("XDG_DATA_HOME");
    if (dataFolder.isEmpty()) {
        // The home folder is the user's, and a missing one is a broken
        // account rather than something to make: only the data folder's
        // usual path below it is made.
        const QString home = absolutePathIn("HOME");
        if (home.isEmpty() || !files::folderExists(home))
            return files::Failure{{}, noDataFolderText()};
        dataFolder = files::joinPath(home, QStringLiteral(".local/share"));
        for (const QString &folder : {files::joinPath(home, QStringLiteral(".local")), dataFolder}) {
            if (files::folderExists(folder))
                continue;
            if (const files::Outcome<void> made = files::makePrivateFolder(folder); !made)
                return made.failure();
        }
    } else if (!files::folderExists(dataFolder)) {
        return files::Failure{{}, noDataFolderText()};
    }
    return dataFolder;
}

files::Outcome<QString> chooseWorkspaceFolder(const QString &executableFolder, const QString &requestedFolder)
{
    if (!requestedFolder.isEmpty())
        return QDir(requestedFolder).absolutePath();
    const QString desktopEntry =
        QDir(executableFolder).filePath(QStringLiteral("../share/applications/tessaly.desktop"));
    if (!files::plainFileExists(desktopEntry))
        return executableFolder;

    const files::Outcome<QString> dataFolder = userDataFolder();
    if (!dataFolder)
        return dataFolder;
    const QString folder = files::joinPath(*dataFolder, QStringLiteral("Tessaly"));
    if (!files::folderExists(folder)) {
        if (const files::Outcome<void> made = files::makeFolder(folder); !made)
            return made.failure();
    }
    return folder;
}

} // namespace tessaly
