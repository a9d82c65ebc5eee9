#pragma once

#include <QString>
#include <QStringList>

namespace tessaly {

// A name from the list can be part of a file path only when it holds no "/"
// or NUL and is not "." or "..": a hand-edited list must never make the
// program write or delete outside its folders.
bool isUsableProjectName(const QString &name);

// The ordered project list and its file `Setting/List.ini`: one name a line,
// CR LF after each, empty lines skipped on load.
class ProjectList
{
public:
    enum class LoadResult
    {
        Loaded,
        Missing,
        Unreadable
    };

    // Loads the file; an unreadable file keeps what could be read and makes
    // every later save refuse, so the file is never overwritten with less.
    LoadResult load(const QString &listFile);
    // `Baocun`. Refused (false, reason set) after an unreadable load.
    bool save(const QString &listFile, QString *reason = nullptr) const;
    bool saveRefused() const { return m_saveRefused; }
    static QString unreadableText(const QString &listFile);

    const QStringList &names() const { return m_names; }
    void setNames(const QStringList &names) { m_names = names; }
    int size() const { return int(m_names.size()); }
    int indexOf(const QString &name) const { return int(m_names.indexOf(name)); }

    void insertAtTop(const QString &name);
    void removeAt(int row);
    // Each returns the row that now holds the moved name (0-based).
    int moveUp(int row);
    int moveDown(int row);
    int moveToFirst(int row);
    int moveToLast(int row);
    // Moves the name at `row` so that it ends up at `target` (clamped to the
    // list); the rows between shift by one.
    int moveToRow(int row, int target);

private:
    QStringList m_names;
    bool m_saveRefused = false;
};

} // namespace tessaly
