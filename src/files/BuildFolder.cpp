#include "files/BuildFolder.h"

#include "files/FileServices.h"
#include "files/Reasons.h"

#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaly::files {

namespace {

constexpr int SuffixLength = 6;
// Deeper than anything a piece of work makes; it bounds the descriptors one
// removal holds open.
constexpr int DeepestFolder = 64;

QByteArray randomSuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(SuffixLength, '\0');
    for (char &letter : suffix)
        letter = letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return suffix;
}

int openFolderIn(int parent, const QByteArray &name)
{
    return ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Removes everything inside the open folder; a link is removed as a link.
// False when something stays.
bool emptyFolder(int folder, int depth = 0)
{
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    DIR *dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return false;
    }
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    bool emptied = true;
    for (const QByteArray &name : names) {
        struct stat status;
        if (::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            emptied = emptied && errno == ENOENT;
            continue;
        }
        if (!S_ISDIR(status.st_mode)) {
            emptied = (::unlinkat(folder, name.constData(), 0) == 0 || errno == ENOENT) && emptied;
            continue;
        }
        const int sub = depth < DeepestFolder ? openFolderIn(folder, name) : -1;
        const bool subEmptied = sub >= 0 && emptyFolder(sub, depth + 1);
        if (sub >= 0)
            ::close(sub);
        emptied = subEmptied && ::unlinkat(folder, name.constData(), AT_REMOVEDIR) == 0 && emptied;
    }
    return emptied;
}

// The process id a folder's name records after the prefix, or 0 when the
// name is not one a BuildFolder gives.
pid_t recordedProcess(const QByteArray &name, const QByteArray &prefix)
{
    if (!name.startsWith(prefix))
        return 0;
    const QByteArray rest = name.mid(prefix.size());
    const qsizetype dash = rest.indexOf('-');
    if (dash <= 0 || rest.size() - dash - 1 != SuffixLength)
        return 0;
    bool isNumber = false;
    const qlonglong pid = rest.left(dash).toLongLong(&isNumber);
    if (!isNumber || pid <= 0 || pid != qlonglong(pid_t(pid)) || !std::isdigit(uchar(rest.at(0))))
        return 0;
    return pid_t(pid);
}

// A process id that this process has is a maker that ran before it; any
// other counts as gone only when the system says so.
bool processIsGone(pid_t pid)
{
    return pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH);
}

} // namespace

BuildFolder::BuildFolder(const QString &parent, const QByteArray &prefix)
    : m_parent(withoutTrailingSeparators(parent))
{
    m_parentFd = ::open(QFile::encodeName(m_parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_parentFd < 0) {
        m_error = reasonFor(errno);
        return;
    }
    const QByteArray stem = prefix + QByteArray::number(qlonglong(::getpid())) + '-';
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = stem + randomSuffix();
        // The folder gets the rights any folder made here would: it becomes
        // the finished work by a rename.
        if (::mkdirat(m_parentFd, name.constData(), 0777) != 0) {
            if (errno == EEXIST)
                continue;
            m_error = reasonFor(errno);
            return;
        }
        m_name = name;
        m_fd = openFolderIn(m_parentFd, name);
        if (m_fd < 0 || ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            m_error = reasonFor(errno);
            remove();
        }
        return;
    }
    m_error = reasonFor(EEXIST);
}

BuildFolder::~BuildFolder()
{
    remove();
    if (m_parentFd >= 0)
        ::close(m_parentFd);
}

QString BuildFolder::path() const
{
    return joinPath(m_parent, QFile::decodeName(m_name));
}

Outcome<void> BuildFolder::renameTo(const QString &name)
{
    const QByteArray target = QFile::encodeName(name);
    if (m_fd < 0 || ::renameat(m_parentFd, m_name.constData(), m_parentFd, target.constData()) != 0) {
        const QString reason = m_fd < 0 ? m_error : reasonFor(errno);
        return Failure{joinPath(m_parent, name), reason};
    }
    ::close(m_fd);
    m_fd = -1;
    m_name.clear();
    return {};
}

void BuildFolder::remove()
{
    if (m_name.isEmpty())
        return;
    // Emptied through the folder this object locked, wherever its name went.
    if (m_fd < 0 || emptyFolder(m_fd))
        ::unlinkat(m_parentFd, m_name.constData(), AT_REMOVEDIR);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_name.clear();
}

QStringList BuildFolder::removeAbandoned(const QString &parent, const QByteArray &prefix)
{
    QStringList removed;
    const QString folder = withoutTrailingSeparators(parent);
    const int parentFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int copy = parentFd < 0 ? -1 : ::fcntl(parentFd, F_DUPFD_CLOEXEC, 0);
    DIR *dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        if (parentFd >= 0)
            ::close(parentFd);
        return removed;
    }
    QList<QByteArray> candidates;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (recordedProcess(name, prefix) != 0)
            candidates.append(name);
    }
    ::closedir(dir);

    for (const QByteArray &name : candidates) {
        // A link or a file of that name is not a build folder: it stays.
        const int fd = openFolderIn(parentFd, name);
        if (fd < 0)
            continue;
        // Whoever makes the folder locks it at once; the name covers the
        // moment between making and locking.
        struct stat opened;
        struct stat named;
        const bool abandoned = ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                               processIsGone(recordedProcess(name, prefix)) && ::fstat(fd, &opened) == 0 &&
                               ::fstatat(parentFd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                               opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
        // The lock is held until the folder is gone, so no second run
        // removes it meanwhile, and a finished maker renamed it before it
        // let go: what still has the name is a leftover.
        if (abandoned && emptyFolder(fd) && ::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) == 0)
            removed.append(joinPath(folder, QFile::decodeName(name)));
        ::close(fd);
    }
    ::close(parentFd);
    return removed;
}

} // namespace tessaly::files
