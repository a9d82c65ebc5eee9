#include "catalogue/ProjectRemoval.h"

#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "workspace/Workspace.h"

#include <QStringList>

namespace tessaly {

QString ProjectRemoval::failureText() const
{
    QStringList parts;
    for (const Failure &failure : failures)
        parts.append(Messages::withPath(failure.path, failure.reason));
    return parts.join(QStringLiteral("\r\n"));
}

ProjectRemoval removeProjectFiles(const Workspace &workspace, const QString &name)
{
    ProjectRemoval removal;
    if (!isUsableProjectName(name)) {
        removal.nameUnusable = true;
        return removal;
    }
    for (const QString &path : {workspace.playPage(name), workspace.coverFile(name)}) {
        if (!files::plainFileExists(path))
            continue;
        QString reason;
        if (!files::deleteFile(path, &reason))
            removal.failures.append({path, reason});
    }
    return removal;
}

bool deleteProject(const Workspace &workspace, ProjectList &projects, int row)
{
    const QString listFile = workspace.listFile();
    if (row < 0 || row >= projects.size() || !listMayChange(projects, listFile))
        return false;
    const QString name = projects.names().at(row);
    const ProjectRemoval removal = removeProjectFiles(workspace, name);
    if (!removal.failures.isEmpty()) {
        Messages::error(removal.failureText());
        return false;
    }
    projects.removeAt(row);
    QString reason;
    if (!projects.save(listFile, &reason)) {
        QStringList names = projects.names();
        names.insert(row, name);
        projects.setNames(names);
        Messages::error(Messages::withPath(listFile, reason));
        return false;
    }
    return true;
}

QString deletedText()
{
    return QStringLiteral("删除成功!");
}

QString unusableProjectNameText(const QString &name)
{
    return QStringLiteral("无法使用的项目名称: ") + name;
}

} // namespace tessaly
