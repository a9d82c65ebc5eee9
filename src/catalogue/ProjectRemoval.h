#pragma once

#include "files/Outcome.h"

#include <QList>
#include <QString>

namespace tessaly {

class ProjectList;
class Workspace;

// What removing a project deletes: its play page and its cover, each by its
// exact name. Its settings file stays, so a project of the same name created
// later finds its old episode folder again.
struct ProjectRemoval
{
    // The name cannot be part of a file path: nothing was touched.
    bool nameUnusable = false;
    QList<files::Failure> failures;

    bool ok() const { return !nameUnusable && failures.isEmpty(); }
    // Each failure as its path, CR LF, the reason; failures joined by CR LF.
    QString failureText() const;
};

// What deleting a project did.
struct ProjectDeletion
{
    bool deleted = false;
    // The row is gone from the list: deleted, or a row whose files could
    // not all be deleted and that could not be saved back.
    bool rowRemoved = false;
    // Why not, said together in one box; empty when there is nothing to say
    // (no such row).
    QList<files::Failure> failures;

    QString failureText() const;
};

ProjectRemoval removeProjectFiles(const Workspace &workspace, const QString &name);

// Delete and `tessaly-cli remove`: on a list that was read whole, removes
// the row and saves the list, then removes the project's files; a failure
// leaves the rows as the file has them. A name that cannot be a file name
// owns no files: only its row goes. A file that cannot be deleted keeps the
// row, so the user can try again once it is free. When the project is gone
// the caller says `deletedText()`, otherwise the failures.
ProjectDeletion deleteProject(const Workspace &workspace, ProjectList &projects, int row);
QString deletedText();

// "无法使用的项目名称: " + name: said wherever a command skips the files of a
// project whose name cannot be a file name.
QString unusableProjectNameText(const QString &name);

} // namespace tessaly
