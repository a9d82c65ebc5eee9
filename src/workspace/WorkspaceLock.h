#pragma once

#include "files/Outcome.h"

#include <QLockFile>
#include <QString>

namespace tessaly {

class Workspace;

// One process per workspace: the window holds this lock while it is open,
// the command line while its command runs. The lock file is a dot-file so
// no lister shows it.
class WorkspaceLock
{
public:
    // Why the lock was not taken.
    enum class Refusal
    {
        None,
        HeldHere,      // a live process on this computer holds it
        HeldElsewhere, // a process on another computer holds it
        CannotCreate,  // the file system refused the lock file
    };

    explicit WorkspaceLock(const Workspace &workspace);

    // Done when this process now holds the workspace; otherwise why not:
    // the lock file's path and the reason, or the workspace folder and that
    // it is busy for a holder on this computer. `refusal()` says which.
    files::Outcome<void> acquire();
    // Gives the workspace up; `acquire` may take it again.
    void release();
    Refusal refusal() const { return m_refusal; }
    // The workspace folder, CR LF, and why it cannot be used now.
    static QString busyText(const QString &workspaceFolder);

private:
    bool tryToAcquire();
    files::Failure refusalFailure() const;
    bool refuseIfLockFileCannotBeRemoved();
    bool refuseWithCreationReason();

    QString m_workspaceFolder;
    QString m_path;
    QLockFile m_lock;
    Refusal m_refusal = Refusal::None;
    QString m_holderHost;
    qint64 m_holderPid = 0;
    QString m_reason;
};

} // namespace tessaly
