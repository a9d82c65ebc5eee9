#pragma once

#include "files/NaturalOrder.h"
#include "files/Outcome.h"

#include <QString>
#include <QStringList>

namespace tessaly {

class Workspace;

// One level at a time below the movie root, as both folder choosers walk
// it: the current level's sub-folders by bare name, down into one of them,
// back up one level, never above the root. Every path is the movie root and
// the names joined with exactly one native separator.
class FolderNavigation
{
public:
    // A root with trailing separators is taken without them; "/" stays "/".
    explicit FolderNavigation(const QString &movieRoot, files::NameOrder order = files::NameOrder::Natural);
    // The movie root and the order from `Setting.ini`; an empty root when
    // the file is missing.
    static FolderNavigation fromSettings(const Workspace &workspace);

    static QString atRootText() { return QStringLiteral("已是根目录!"); }
    // Said by a chooser asked to open before any movie root is set.
    static QString movieRootFirstText() { return QStringLiteral("请先在设置中填写影片文件路径!"); }
    // Whether a chooser has a root to start from; why not when not.
    static files::Outcome<void> movieRootIsSet(const Workspace &workspace);

    const QString &movieRoot() const { return m_movieRoot; }
    // "" at the root, otherwise a separator before each level's name.
    QString subPath() const;
    QString currentFolder() const;
    bool atRoot() const { return m_levels.isEmpty(); }
    // The bare name of the current level; empty at the root.
    QString currentLevelName() const { return m_levels.isEmpty() ? QString() : m_levels.last(); }
    // The bare names of the current level's sub-folders, in the order the
    // settings ask for.
    // Empty when the root is empty or missing, or the level has vanished.
    const QStringList &folders() const { return m_folders; }

    // The absolute path of a folder of the current level.
    QString pathOf(const QString &name) const;
    // The same path below the movie root, without a leading separator.
    QString relativePathOf(const QString &name) const;
    // Whether the named folder of the current level still exists; when not,
    // fails with its path and "文件夹不存在!".
    files::Outcome<void> confirmExists(const QString &name) const;

    // The fill step: lists the current level again.
    void refresh();
    // Down into a folder of the current level. A folder that vanished since
    // it was listed fails as `confirmExists` does, and the level stays.
    files::Outcome<void> open(const QString &name);
    // Up one level; at the root fails with "已是根目录!" and stays.
    files::Outcome<void> up();

private:
    QString m_movieRoot;
    files::NameOrder m_order;
    QStringList m_levels;
    QStringList m_folders;
};

} // namespace tessaly
