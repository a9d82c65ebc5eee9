#include "catalogue/DroppedFolder.h"

#include "catalogue/FolderNavigation.h"
#include "files/FileServices.h"

#include <QDir>
#include <QFileInfo>

namespace tessaly {

namespace {

// The levels below `root` that lead to `folder`, or empty when it does not
// lie strictly below it.
QStringList levelsBelow(const QString &root, const QString &folder)
{
    const QString relative = QDir(root).relativeFilePath(folder);
    if (relative.isEmpty() || relative == QLatin1String(".") || QDir::isAbsolutePath(relative) ||
        relative == QLatin1String("..") || relative.startsWith(QLatin1String("../")))
        return {};
    return relative.split(u'/', Qt::SkipEmptyParts);
}

} // namespace

std::optional<DroppedFolder> folderBelowMovieRoot(const QString &movieRoot, const QString &path)
{
    const QString root = files::withoutTrailingSeparators(movieRoot);
    if (root.isEmpty() || path.isEmpty() || !files::folderExists(root) || !files::folderExists(path))
        return std::nullopt;
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList levels = levelsBelow(QDir::cleanPath(QFileInfo(root).absoluteFilePath()), folder);
    if (levels.isEmpty())
        levels = levelsBelow(QFileInfo(root).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
    if (levels.isEmpty())
        return std::nullopt;
    QString chosen = root;
    for (const QString &level : levels)
        chosen = files::joinPath(chosen, level);
    return DroppedFolder{levels.last(), chosen};
}

files::Outcome<DroppedFolder> folderBelowMovieRoot(const Workspace &workspace, const QString &path)
{
    if (std::optional<DroppedFolder> folder =
            folderBelowMovieRoot(FolderNavigation::fromSettings(workspace).movieRoot(), path))
        return std::move(*folder);
    return files::Failure{QDir::toNativeSeparators(path), QStringLiteral("文件夹不在影片文件路径下!")};
}

} // namespace tessaly
