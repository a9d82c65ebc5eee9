#pragma once

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
std::optional<DroppedFolder> folderBelowMovieRoot(const Workspace &workspace, const QString &path);

// The path, CR LF, "文件夹不在影片文件路径下!".
QString notBelowMovieRootText(const QString &path);

} // namespace tessaly
