#pragma once

#include "files/Outcome.h"
#include "files/TextFile.h"

#include <QString>
#include <QStringList>

namespace tessaly {

// The one check before any command writes or removes a project's files. A
// hand-edited list may hold any name: it is usable only as a file name of
// its own ("/" is not, nor a dot-named one, nor one too long for its page's
// file name), not reserved, and without a character that breaks its links or
// its line ("#", "?", "%", control characters).
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
    // `Baocun`, in the encoding the file was read in. Refused after an
    // unreadable load. Every failure names the list file.
    files::Outcome<void> save(const QString &listFile) const;
    // The last load lost something: every save is refused.
    bool notReadWhole() const { return m_notReadWhole; }
    // Why the last load was not whole (the system's reason, or that the
    // text is in no known encoding); empty after a whole load.
    const QString &loadFailure() const { return m_loadFailure; }
    // Why a list not read whole is never saved: the list file and
    // "无法读取项目列表,列表将不会被保存!".
    static files::Failure unreadable(const QString &listFile);
    static QString unreadableText(const QString &listFile) { return unreadable(listFile).text(); }

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
    bool m_notReadWhole = false;
    QString m_loadFailure;
    text::Encoding m_encoding = text::Encoding::CodePage936;
};

// Every command that changes the list asks this first: after a load that
// was not whole it fails with `ProjectList::unreadable`, and the command
// must touch nothing.
files::Outcome<void> listMayChange(const ProjectList &projects, const QString &listFile);

} // namespace tessaly
