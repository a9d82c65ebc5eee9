#pragma once

#include "files/Outcome.h"

#include <QList>
#include <QString>
#include <functional>

namespace tessaly {

class ProjectList;
class Workspace;

enum class RenameResult
{
    Ignored,   // no such row, or an empty name: nothing happens, nothing is said
    Unchanged, // the name it has already
    Refused,   // nothing changed; `failures` say why
    Renamed,   // the row and every file of the project carry the new name
    Failed,    // nothing changed, or (`listChanged`) renamed with old names left; `failures` say what
};

struct ProjectRenaming
{
    RenameResult result = RenameResult::Ignored;
    // The list was saved with the new name: the row holds it, whatever the
    // result says about the old names.
    bool listChanged = false;
    // Why it was refused or what failed, said together in one box; empty
    // when there is nothing to say.
    QList<files::Failure> failures;

    QString failureText() const;
};

// "重命名" and `tessaly-cli rename`: on a list that was read whole, checks
// the new name as the new project dialog does, then gives the project's
// settings file, play page and cover the new name and saves the list with
// it. No file is ever replaced: a new name whose file is there already
// refuses the rename. Each file is first linked under its new name, then
// the list is saved, then the old names go, so that a program killed at
// any point leaves the project whole under one name or the other; a
// failure before the list is saved removes the new links again. A name
// that differs only in letter case goes through a temporary name where the
// file system takes the two for one. `afterEachStep` runs after each change
// on the disk (tests stop the program there).
ProjectRenaming renameProject(const Workspace &workspace, ProjectList &projects, int row,
                              const QString &newName, const std::function<void()> &afterEachStep = {});

} // namespace tessaly
