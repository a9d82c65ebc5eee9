#include "support/FullDisk.h"

#include <QFile>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessaly::testing {

int inChildWithFileSizeLimit(qint64 limit, const std::function<int()> &body)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit fileSize{};
        ::getrlimit(RLIMIT_FSIZE, &fileSize);
        fileSize.rlim_cur = rlim_t(limit);
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        ::_exit(body());
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int inChild(const std::function<int()> &body)
{
    return inChildWithFileSizeLimit(qint64(RLIM_INFINITY), body);
}

SmallTmpfs::SmallTmpfs(const QString &folder, qint64 bytes) : m_folder(QFile::encodeName(folder))
{
    const QByteArray options = "size=" + QByteArray::number(bytes);
    m_mounted = ::mount("tessaly-test", m_folder.constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallTmpfs::~SmallTmpfs()
{
    if (m_mounted)
        ::umount2(m_folder.constData(), MNT_DETACH);
}

void SmallTmpfs::fill(const QString &fileName) const
{
    const QByteArray path = m_folder + '/' + QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const QByteArray block(4096, 'f');
    while (fd >= 0 && ::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    // The last pages of a tmpfs may take a byte at a time.
    while (fd >= 0 && ::write(fd, "f", 1) > 0) {
    }
    if (fd >= 0)
        ::close(fd);
}

} // namespace tessaly::testing
