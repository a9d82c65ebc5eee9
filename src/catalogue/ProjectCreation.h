#pragma once

#include "files/Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tessaly {

class ProjectList;
class Workspace;

// What the user asks for: a name, and the episode folder when one was picked
// (or given on the command line).
struct NewProject
{
    QString name;
    QString episodeFolder;
};

enum class CreationResult
{
    Ignored,      // empty name: nothing happens, nothing is said
    Refused,      // the name was refused, or its settings file not written
    Created,      // recorded, listed at the top and the list saved
    ListNotSaved, // `List.ini` could not be written: not listed, its settings file as it was
};

struct ProjectCreation
{
    CreationResult result = CreationResult::Ignored;
    // Why it was refused or not listed, said together in one box: the
    // refusal, or the list's failure and then a settings file that could
    // not be put back.
    QList<files::Failure> failures;

    QString failureText() const;
};

// The whole creation, for the window's "添加" and `tessaly-cli add` alike:
// refuse on an unreadable list, check the name against the listed ones,
// record the episode folder in `<name>.ini` when one is given, insert at
// the top, save. Unless created, nothing has changed.
ProjectCreation createProject(const Workspace &workspace, ProjectList &projects, const NewProject &project);

// The name a chosen episode folder suggests for its project: the folder's
// own name, or for a folder named like a season or a disc of its series
// ("Season 01", "S01", "第一季", "Disc 1", "CD2", "上部") the parent
// folder's name, a space and the folder's name ("庆余年 第一季").
QString suggestedProjectName(const QString &folderName, const QString &folderPath);

// A folder typed on the command line, made absolute against the current
// folder, cleaned and without a trailing separator.
QString absoluteEpisodeFolder(const QString &folder, const QString &currentFolder);

} // namespace tessaly
