#pragma once

#include "files/Outcome.h"

#include <QString>
#include <optional>

namespace tessaly {

class Workspace;

// A folder dropped on the project list becomes a new project the way the
// folder chooser would make it: its bare name and its path below the movie
// root, spelled from the root as `Setting.ini` holds it.
struct DroppedFolder
{
    QString name;
    QString path;
};

// Empty unless `path` is an existing folder strictly below `movieRoot`
// (links resolved when the plain spelling does not lie below it).
std::optional<DroppedFolder> folderBelowMovieRoot(const QString &movieRoot, const QString &path);
// Below the movie root of `Setting.ini`; otherwise fails with the path and
// "文件夹不在影片文件路径下!".
files::Outcome<DroppedFolder> folderBelowMovieRoot(const Workspace &workspace, const QString &path);

} // namespace tessaly
