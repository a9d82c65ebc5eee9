#pragma once

#include <QList>
#include <QString>

namespace tessaly {

class Workspace;

// What removing a project deletes: its play page and its cover, each by its
// exact name. Its settings file stays, so a project of the same name created
// later finds its old episode folder again.
struct ProjectRemoval
{
    struct Failure
    {
        QString path;
        QString reason;
    };

    // The name cannot be part of a file path: nothing was touched.
    bool nameUnusable = false;
    QList<Failure> failures;

    bool ok() const { return !nameUnusable && failures.isEmpty(); }
    // Each failure as its path, CR LF, the reason; failures joined by CR LF.
    QString failureText() const;
};

ProjectRemoval removeProjectFiles(const Workspace &workspace, const QString &name);

// Removes the files and says what went wrong through the message seam. True
// when the project's row may leave the list: its files are gone, or its name
// could never name a file. False when a file could not be deleted: the row
// stays so the user can try again once the file is free.
bool removeFilesOfDeletedProject(const Workspace &workspace, const QString &name);

// "无法使用的项目名称: " + name: said wherever a command skips the files of a
// project whose name cannot be a file name.
QString unusableProjectNameText(const QString &name);

} // namespace tessaly
