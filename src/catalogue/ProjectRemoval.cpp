#include "catalogue/ProjectRemoval.h"

#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "files/FileTexts.h"
#include "files/OpenFolder.h"
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
    // Through the output folders opened once: a `Data` or `Image` that a
    // link takes out of `Web` is refused, so nothing outside is removed.
    const files::OpenFolder web(workspace.web());
    const std::pair<const char *, QString> places[] = {{"Data", name + QStringLiteral(".html")},
                                                       {"Image", name + QStringLiteral(".jpg")}};
    for (const auto &[folderName, fileName] : places) {
        const files::OpenFolder folder = web.subfolder(QString::fromLatin1(folderName), false);
        const QByteArray file = files::OpenFolder::nameOf(fileName);
        if (folder.isOutside()) {
            removal.failures.append({folder.path(), files::texts::linkLeadsOutside()});
            continue;
        }
        if (!folder.isOpen() || !folder.holdsFile(file))
            continue;
        QString reason;
        if (!folder.remove(file, &reason))
            removal.failures.append({folder.pathOf(file), reason});
    }
    return removal;
}

bool deleteProject(const Workspace &workspace, ProjectList &projects, int row)
{
    const QString listFile = workspace.listFile();
    if (row < 0 || row >= projects.size() || !listMayChange(projects, listFile))
        return false;
    const QStringList rows = projects.names();
    // The list is saved before any file goes: a list that cannot be saved
    // keeps the row, and the row must keep its cover.
    projects.removeAt(row);
    if (const QString failure = projects.saveSaying(listFile); !failure.isEmpty()) {
        projects.setNames(rows);
        Messages::error(failure);
        return false;
    }
    const ProjectRemoval removal = removeProjectFiles(workspace, rows.at(row));
    if (removal.failures.isEmpty())
        return true;
    // A file that cannot be deleted brings the row back, so the user can try
    // again once it is free; the page goes first, so a kept cover is never
    // left without its row.
    QString text = removal.failureText();
    projects.setNames(rows);
    if (const QString failure = projects.saveSaying(listFile); !failure.isEmpty()) {
        projects.removeAt(row);
        text += QStringLiteral("\r\n") + failure;
    }
    Messages::error(text);
    return false;
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
