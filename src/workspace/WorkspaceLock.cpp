#include "workspace/WorkspaceLock.h"

#include "files/Reasons.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaly {

namespace {

bool processIsGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

QString busyReason()
{
    return QStringLiteral("工作区正在被另一个Tessaly使用!");
}

} // namespace

WorkspaceLock::WorkspaceLock(const Workspace &workspace)
    : m_workspaceFolder(workspace.root()), m_path(workspace.lockFile()), m_lock(m_path)
{
    // A lock left by a crashed process is taken over at once: its owner is
    // checked by process id, not by age.
    m_lock.setStaleLockTime(0);
}

files::Outcome<void> WorkspaceLock::acquire()
{
    if (tryToAcquire())
        return {};
    return refusalFailure();
}

bool WorkspaceLock::tryToAcquire()
{
    m_refusal = Refusal::None;
    // At most one take-over of an unreadable lock file, then one more try.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_lock.tryLock(0))
            return true;
        if (m_lock.error() != QLockFile::LockFailedError) {
            // When the second creation works, the first failure passed: try again.
            if (refuseWithCreationReason() || attempt > 0)
                return false;
            continue;
        }
        qint64 pid = 0;
        QString host;
        QString application;
        if (m_lock.getLockInfo(&pid, &host, &application)) {
            // QLockFile has already taken over a lock whose holder on this
            // computer is gone; what is left is a live holder, here or on
            // another computer sharing the folder.
            if (!host.isEmpty() && host != QSysInfo::machineHostName()) {
                m_refusal = Refusal::HeldElsewhere;
                m_holderHost = host;
                m_holderPid = pid;
            } else if (processIsGone(pid) && refuseIfLockFileCannotBeRemoved()) {
                // A stale lock QLockFile could not remove: the file system
                // refuses, not a holder.
            } else {
                m_refusal = Refusal::HeldHere;
            }
            return false;
        }
        // An empty or garbled lock file (a power cut while one was written)
        // names no holder, so neither age nor process can make it stale.
        // Removing it is refused while a live process holds the file, which
        // keeps a holder that is still writing it safe.
        if (attempt == 0 && m_lock.removeStaleLockFile())
            continue;
        if (!refuseIfLockFileCannotBeRemoved())
            m_refusal = Refusal::HeldHere;
        return false;
    }
    return false;
}

void WorkspaceLock::release()
{
    m_lock.unlock();
}

bool WorkspaceLock::refuseIfLockFileCannotBeRemoved()
{
    const QByteArray file = QFile::encodeName(m_path);
    const QByteArray folder = QFile::encodeName(QFileInfo(m_path).absolutePath());
    // A folder of the lock file's name is no holder: no lock can ever be made there.
    struct stat status;
    const bool isFolder = ::lstat(file.constData(), &status) == 0 && S_ISDIR(status.st_mode);
    if (!isFolder && ::access(file.constData(), W_OK) == 0 && ::access(folder.constData(), W_OK) == 0)
        return false;
    m_refusal = Refusal::CannotCreate;
    m_reason = files::reasonFor(isFolder ? EISDIR : errno);
    return true;
}

// QLockFile does not say why the file system refused: the creation is tried
// once more here, as QLockFile does it, to learn the reason from the call
// that fails. False when that creation worked after all.
bool WorkspaceLock::refuseWithCreationReason()
{
    m_refusal = Refusal::CannotCreate;
    const QByteArray path = QFile::encodeName(m_path);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        m_reason = files::reasonFor(errno);
        return true;
    }
    const QByteArray contents = QByteArray::number(qint64(::getpid())) + '\n';
    const ssize_t written = ::write(fd, contents.constData(), size_t(contents.size()));
    const int writeError = errno;
    ::close(fd);
    ::unlink(path.constData());
    if (written < 0)
        m_reason = files::reasonFor(writeError);
    else if (written < contents.size())
        m_reason = files::reasonFor(ENOSPC);
    else
        m_reason = files::reasonFor(EIO);
    return written < contents.size();
}

files::Failure WorkspaceLock::refusalFailure() const
{
    switch (m_refusal) {
    case Refusal::None:
        break;
    case Refusal::HeldHere:
        return {m_workspaceFolder, busyReason()};
    case Refusal::HeldElsewhere:
        return {m_path, QStringLiteral("工作区正在被另一台计算机上的Tessaly使用(主机 ") + m_holderHost +
                            QStringLiteral(",进程 ") + QString::number(m_holderPid) + QStringLiteral(")!")};
    case Refusal::CannotCreate:
        return {m_path, m_reason};
    }
    return {};
}

QString WorkspaceLock::busyText(const QString &workspaceFolder)
{
    return files::Failure{workspaceFolder, busyReason()}.text();
}

} // namespace tessaly
