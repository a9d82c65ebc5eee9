#include "app/WorkspaceLock.h"

#include "app/Workspace.h"

namespace tessaly {

WorkspaceLock::WorkspaceLock(const Workspace &workspace) : m_lock(workspace.lockFile())
{
    // A lock left by a crashed process is taken over at once: its owner is
    // checked by process id, not by age.
    m_lock.setStaleLockTime(0);
}

bool WorkspaceLock::acquire()
{
    return m_lock.tryLock(0);
}

QString WorkspaceLock::busyText(const QString &workspaceFolder)
{
    return workspaceFolder + QStringLiteral("\r\n工作区正在被另一个Tessaly使用!");
}

} // namespace tessaly
