#include "catalogue/ProjectRemoval.h"

#include "catalogue/CatalogueTexts.h"
#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "files/FileTexts.h"
#include "files/OpenFolder.h"
#include "workspace/Workspace.h"

#include <QStringList>

namespace tessaly {

QString ProjectRemoval::failureText() const
{
    return catalogue::texts::joined(failures);
}

QString ProjectDeletion::failureText() const
{
    return catalogue::texts::joined(failures);
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
        if (const files::Outcome<void> removed = folder.remove(file); !removed)
            removal.failures.append({folder.pathOf(file), removed.failure().reason});
    }
    return removal;
}

ProjectDeletion deleteProject(const Workspace &workspace, ProjectList &projects, int row)
{
    ProjectDeletion deletion;
    const QString listFile = workspace.listFile();
    if (row < 0 || row >= projects.size())
        return deletion;
    if (const files::Outcome<void> may = listMayChange(projects, listFile); !may) {
        deletion.failures.append(may.failure());
        return deletion;
    }
    const QStringList rows = projects.names();
    // The list is saved before any file goes: a list that cannot be saved
    // keeps the row, and the row must keep its cover.
    projects.removeAt(row);
    if (const files::Outcome<void> saved = projects.save(listFile); !saved) {
        projects.setNames(rows);
        deletion.failures.append(saved.failure());
        return deletion;
    }
    const ProjectRemoval removal = removeProjectFiles(workspace, rows.at(row));
    if (removal.failures.isEmpty()) {
        deletion.deleted = true;
        deletion.rowRemoved = true;
        return deletion;
    }
    // A file that cannot be deleted brings the row back, so the user can try
    // again once it is free; the page goes first, so a kept cover is never
    // left without its row.
    deletion.failures = removal.failures;
    projects.setNames(rows);
    if (const files::Outcome<void> saved = projects.save(listFile); !saved) {
        projects.removeAt(row);
        deletion.rowRemoved = true;
        deletion.failures.append(saved.failure());
    }
    return deletion;
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
