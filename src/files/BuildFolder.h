#pragma once

#include "files/Outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tessaly::files {

// A hidden folder beside the place where a piece of work ends up, in which
// the work is made before it is renamed into place. Its name,
// "<prefix><process id>-XXXXXX", says which process made it, and that
// process holds a lock (flock) on it for as long as this object lives, so a
// later run tells a folder whose maker was killed from one still being made.
// Unless it was renamed into place, the folder goes with the object, with
// everything in it.
class BuildFolder
{
public:
    BuildFolder(const QString &parent, const QByteArray &prefix);
    ~BuildFolder();
    BuildFolder(const BuildFolder &) = delete;
    BuildFolder &operator=(const BuildFolder &) = delete;

    bool isValid() const { return m_fd >= 0; }
    // Why the folder could not be made.
    const QString &error() const { return m_error; }
    QString path() const;

    // Renames the folder to `name` beside it, which replaces nothing but an
    // empty folder, and lets it go: it stays once renamed. The failure
    // names the place it was to go to.
    Outcome<void> renameTo(const QString &name);

    // Removes the folders of this prefix in `parent` that no one is making
    // any more: only where the process the name records is gone and no lock
    // is held on the folder. Links are removed, never followed. Gives the
    // paths of the folders removed.
    static QStringList removeAbandoned(const QString &parent, const QByteArray &prefix);

private:
    void remove();

    QString m_parent;
    QByteArray m_name;
    int m_parentFd = -1;
    int m_fd = -1;
    QString m_error;
};

} // namespace tessaly::files
