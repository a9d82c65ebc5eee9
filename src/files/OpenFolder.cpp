#include "files/OpenFolder.h"

#include "files/FolderCalls.h"
#include "files/Reasons.h"

#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace tessaly::files {

namespace {

bool sameEntry(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when the folder `inner` lies below the folder `outer` (not when it
// is `outer` itself): climbs from `inner` by ".." until it meets `outer` or
// the root. Works on what the folders are, not on their names.
bool liesBelow(int inner, int outer)
{
    struct stat top;
    struct stat current;
    if (::fstat(outer, &top) != 0 || ::fstat(inner, &current) != 0 || sameEntry(top, current))
        return false;
    int fd = ::fcntl(inner, F_DUPFD_CLOEXEC, 0);
    for (int depth = 0; fd >= 0 && depth < 4096; ++depth) {
        const int parent = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = parent;
        struct stat above;
        if (fd < 0 || ::fstat(fd, &above) != 0)
            break;
        if (sameEntry(above, top)) {
            ::close(fd);
            return true;
        }
        if (sameEntry(above, current))
            break; // the root is its own parent
        current = above;
    }
    if (fd >= 0)
        ::close(fd);
    return false;
}

} // namespace

OpenFolder::OpenFolder(const QString &path) : m_path(path)
{
    const QByteArray encoded = QFile::encodeName(path);
    m_fd = encoded.isEmpty() ? -1 : ::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        m_error = reasonFor(encoded.isEmpty() ? ENOENT : errno);
}

OpenFolder::~OpenFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

OpenFolder::OpenFolder(OpenFolder &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)), m_error(std::move(other.m_error)),
      m_outside(other.m_outside)
{}

OpenFolder &OpenFolder::operator=(OpenFolder &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
        m_error = std::move(other.m_error);
        m_outside = other.m_outside;
    }
    return *this;
}

OpenFolder OpenFolder::subfolder(const QString &name, bool create) const
{
    return openSubfolder(name, create, true);
}

OpenFolder OpenFolder::plainSubfolder(const QString &name, bool create) const
{
    return openSubfolder(name, create, false);
}

OpenFolder OpenFolder::openSubfolder(const QString &name, bool create, bool followLink) const
{
    OpenFolder sub;
    sub.m_path = joinPath(m_path, name);
    if (m_fd < 0) {
        sub.m_error = m_error;
        return sub;
    }
    const QByteArray encoded = nameOf(name);
    struct stat status;
    if (create && ::fstatat(m_fd, encoded.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 &&
        errno == ENOENT && ::mkdirat(m_fd, encoded.constData(), 0777) != 0 && errno != EEXIST) {
        sub.m_error = reasonFor(errno);
        return sub;
    }
    const int fd = ::openat(m_fd, encoded.constData(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        // A link not followed is said as a link, not as something else.
        const int error = errno;
        const bool link = !followLink &&
                          ::fstatat(m_fd, encoded.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                          S_ISLNK(status.st_mode);
        sub.m_error = reasonFor(link ? ELOOP : error);
        return sub;
    }
    // A link may lead to another folder of this one, never out of it (nor
    // to this folder itself, whose other files would then be pruned).
    if (followLink && !liesBelow(fd, m_fd)) {
        ::close(fd);
        sub.m_outside = true;
        return sub;
    }
    sub.m_fd = fd;
    return sub;
}

OpenFolder OpenFolder::plainSubfolder(const QByteArray &name, bool create) const
{
    OpenFolder sub;
    sub.m_path = pathOf(name);
    if (m_fd < 0) {
        sub.m_error = m_error;
        return sub;
    }
    if (create && ::mkdirat(m_fd, name.constData(), 0777) != 0 && errno != EEXIST) {
        sub.m_error = reasonFor(errno);
        return sub;
    }
    sub.m_fd = ::openat(m_fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub.m_fd < 0)
        sub.m_error = reasonFor(errno);
    return sub;
}

OpenFolder OpenFolder::duplicate() const
{
    OpenFolder copy;
    copy.m_path = m_path;
    copy.m_error = m_error;
    copy.m_outside = m_outside;
    copy.m_fd = m_fd < 0 ? -1 : ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (m_fd >= 0 && copy.m_fd < 0)
        copy.m_error = reasonFor(errno);
    return copy;
}

QString OpenFolder::pathOf(const QByteArray &name) const
{
    return joinPath(m_path, QFile::decodeName(name));
}

QByteArray OpenFolder::nameOf(const QString &name)
{
    return QFile::encodeName(name);
}

Listing OpenFolder::listEntries(bool folders) const
{
    if (m_fd < 0) {
        // A folder never opened (no path) has nothing to list, which is no failure.
        Listing listing;
        if (!m_error.isEmpty())
            listing.failure = Failure{m_path, m_error};
        return listing;
    }
    int error = 0;
    Listing listing = detail::listEntriesIn(m_fd, folders, &error);
    if (error != 0)
        listing.failure = Failure{m_path, reasonFor(error)};
    return listing;
}

std::optional<OpenFolder::Stamp> OpenFolder::fileStamp(const QByteArray &name, bool followLinks) const
{
    struct stat status;
    if (m_fd < 0 || ::fstatat(m_fd, name.constData(), &status, followLinks ? 0 : AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode))
        return std::nullopt;
    return Stamp{qint64(status.st_size), qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

bool OpenFolder::holdsFile(const QByteArray &name) const
{
    struct stat status;
    return m_fd >= 0 && ::fstatat(m_fd, name.constData(), &status, 0) == 0 && S_ISREG(status.st_mode);
}

std::optional<qint64> OpenFolder::fileSize(const QByteArray &name) const
{
    struct stat status;
    if (m_fd >= 0 && ::fstatat(m_fd, name.constData(), &status, 0) == 0 && S_ISREG(status.st_mode))
        return qint64(status.st_size);
    return std::nullopt;
}

bool OpenFolder::holdsEntry(const QByteArray &name) const
{
    struct stat status;
    return m_fd >= 0 && ::fstatat(m_fd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           !S_ISDIR(status.st_mode);
}

bool OpenFolder::holdsName(const QByteArray &name) const
{
    struct stat status;
    return m_fd >= 0 && ::fstatat(m_fd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

quint64 OpenFolder::fileSystem() const
{
    struct stat status;
    return m_fd >= 0 && ::fstat(m_fd, &status) == 0 ? quint64(status.st_dev) : 0;
}

bool OpenFolder::isSameFolderAs(const OpenFolder &other) const
{
    struct stat mine;
    struct stat theirs;
    return m_fd >= 0 && other.m_fd >= 0 && ::fstat(m_fd, &mine) == 0 && ::fstat(other.m_fd, &theirs) == 0 &&
           mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino;
}

bool OpenFolder::liesWithin(const OpenFolder &outer) const
{
    return isSameFolderAs(outer) || (m_fd >= 0 && outer.m_fd >= 0 && liesBelow(m_fd, outer.m_fd));
}

bool OpenFolder::holdsSameBytes(const QByteArray &name, const QByteArray &bytes) const
{
    struct stat status;
    if (m_fd < 0 || ::fstatat(m_fd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode) || status.st_size != bytes.size())
        return false;
    int error = 0;
    const std::optional<QByteArray> present = detail::readFileIn(m_fd, name, &error, O_NOFOLLOW);
    return present && *present == bytes;
}

Failure OpenFolder::failureAt(const QByteArray &name, int error) const
{
    const QString path = name.isEmpty() ? m_path : pathOf(name);
    return Failure{path, m_fd < 0 ? m_error : reasonFor(error)};
}

Outcome<QByteArray> OpenFolder::readFile(const QByteArray &name) const
{
    if (m_fd < 0)
        return failureAt(name, ENOENT);
    int error = 0;
    std::optional<QByteArray> bytes = detail::readFileIn(m_fd, name, &error);
    if (!bytes)
        return failureAt(name, error);
    return *std::move(bytes);
}

Outcome<QByteArray> OpenFolder::writeTemporary(const QByteArray &bytes, const QByteArray &replacing) const
{
    if (m_fd < 0)
        return failureAt(replacing, ENOENT);
    struct stat status;
    const int mode =
        ::fstatat(m_fd, replacing.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode)
            ? int(status.st_mode & 07777)
            : -1;
    int error = 0;
    std::optional<QByteArray> name =
        detail::writeTemporaryIn(m_fd, bytes, detail::DataSync::Later, mode, &error);
    if (!name)
        return failureAt(replacing, error);
    return *std::move(name);
}

Outcome<OpenFolder::Temporary> OpenFolder::createTemporary() const
{
    if (m_fd < 0)
        return failureAt({}, ENOENT);
    Temporary temporary;
    int error = 0;
    temporary.fd = detail::openTemporaryIn(m_fd, -1, &temporary.name, &error, O_RDWR);
    if (temporary.fd < 0)
        return failureAt({}, error);
    return temporary;
}

Outcome<qint64> OpenFolder::freeSpace() const
{
    struct statvfs status;
    if (m_fd >= 0 && ::fstatvfs(m_fd, &status) == 0)
        return qint64(status.f_bavail) * qint64(status.f_frsize);
    const int error = m_fd >= 0 ? errno : ENOENT;
    return Failure{m_path, reasonFor(error)};
}

Outcome<void> OpenFolder::rename(const QByteArray &from, const QByteArray &to) const
{
    if (::renameat(m_fd, from.constData(), m_fd, to.constData()) == 0)
        return {};
    const int error = errno;
    return Failure{pathOf(to), reasonFor(error)};
}

Outcome<void> OpenFolder::remove(const QByteArray &name) const
{
    if (::unlinkat(m_fd, name.constData(), 0) == 0)
        return {};
    const int error = errno;
    return Failure{pathOf(name), reasonFor(error)};
}

Outcome<void> OpenFolder::removeFolder(const QByteArray &name) const
{
    if (m_fd >= 0 && ::unlinkat(m_fd, name.constData(), AT_REMOVEDIR) == 0)
        return {};
    const int error = m_fd >= 0 ? errno : ENOENT;
    if (error == ENOTEMPTY || error == EEXIST)
        return {};
    return Failure{pathOf(name), reasonFor(error)};
}

Outcome<void> OpenFolder::link(const QByteArray &from, const QByteArray &to) const
{
    if (m_fd >= 0 && ::linkat(m_fd, from.constData(), m_fd, to.constData(), 0) == 0)
        return {};
    const int error = m_fd >= 0 ? errno : ENOENT;
    return Failure{pathOf(to), reasonFor(error)};
}

Outcome<QByteArray> OpenFolder::linkTemporary(const QByteArray &from) const
{
    int error = ENOENT;
    for (int attempt = 0; attempt < 100 && m_fd >= 0; ++attempt) {
        const QByteArray name = detail::freshTemporaryName();
        if (::linkat(m_fd, from.constData(), m_fd, name.constData(), 0) == 0)
            return name;
        error = errno;
        if (error != EEXIST)
            break;
    }
    return Failure{pathOf(from), reasonFor(error)};
}

bool OpenFolder::holdsSameFile(const QByteArray &first, const QByteArray &second) const
{
    struct stat one;
    struct stat other;
    return m_fd >= 0 && ::fstatat(m_fd, first.constData(), &one, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstatat(m_fd, second.constData(), &other, AT_SYMLINK_NOFOLLOW) == 0 &&
           one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

Outcome<void> OpenFolder::writeFile(const QByteArray &name, const QByteArray &bytes) const
{
    // A name nothing holds yet is written directly: there is no old file to
    // keep, and a write that fails removes what it began. A whole run writes
    // most of its files this way, after the clean-up, which saves a rename
    // each.
    const int fd = m_fd < 0 ? -1
                            : ::openat(m_fd, name.constData(),
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
        int error = 0;
        bool written = detail::writeAll(fd, bytes.constData(), bytes.size(), &error);
        if (::close(fd) != 0 && written) {
            error = errno;
            written = false;
        }
        if (written)
            return {};
        ::unlinkat(m_fd, name.constData(), 0);
        return failureAt(name, error);
    }
    // Anything else (a file, a link, a name the folder refuses) goes the way
    // that replaces, and says why it cannot.
    return replaceFile(name, bytes);
}

Outcome<void> OpenFolder::replaceFile(const QByteArray &name, const QByteArray &bytes) const
{
    const Outcome<QByteArray> temporary = writeTemporary(bytes, name);
    if (!temporary)
        return temporary.failure();
    Outcome<void> renamed = rename(*temporary, name);
    if (!renamed)
        ::unlinkat(m_fd, temporary->constData(), 0);
    return renamed;
}

namespace {

constexpr qsizetype StreamBufferSize = 256 * 1024;

} // namespace

OpenFolder::StreamedFile::StreamedFile(const OpenFolder &folder, const QByteArray &name)
    : m_folder(folder), m_name(name)
{
    if (folder.m_fd < 0) {
        m_error = ENOENT;
        return;
    }
    struct stat status;
    const int mode =
        ::fstatat(folder.m_fd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode)
            ? int(status.st_mode & 07777)
            : -1;
    m_fd = detail::openTemporaryIn(folder.m_fd, mode, &m_temporary, &m_error);
    m_buffer.reserve(StreamBufferSize);
}

OpenFolder::StreamedFile::~StreamedFile()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlinkat(m_folder.m_fd, m_temporary.constData(), 0);
    }
}

void OpenFolder::StreamedFile::append(QByteArrayView bytes)
{
    if (m_fd < 0 || m_error != 0)
        return;
    if (m_buffer.size() + bytes.size() > StreamBufferSize)
        flushBuffer();
    if (bytes.size() >= StreamBufferSize)
        detail::writeAll(m_fd, bytes.data(), bytes.size(), &m_error);
    else
        m_buffer.append(bytes);
}

void OpenFolder::StreamedFile::flushBuffer()
{
    if (m_error == 0)
        detail::writeAll(m_fd, m_buffer.constData(), m_buffer.size(), &m_error);
    m_buffer.clear();
}

Outcome<void> OpenFolder::StreamedFile::commit()
{
    if (m_fd >= 0) {
        flushBuffer();
        if (::close(m_fd) != 0 && m_error == 0)
            m_error = errno;
        m_fd = -1;
        if (m_error == 0 &&
            ::renameat(m_folder.m_fd, m_temporary.constData(), m_folder.m_fd, m_name.constData()) != 0)
            m_error = errno;
        if (m_error != 0)
            ::unlinkat(m_folder.m_fd, m_temporary.constData(), 0);
    }
    if (m_error == 0)
        return {};
    return m_folder.failureAt(m_name, m_error);
}

void OpenFolder::removeTemporaries() const
{
    if (m_fd < 0)
        return;
    const int copy = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    DIR *dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return;
    }
    ::rewinddir(dir);
    QList<QByteArray> left;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (isTemporaryName(name) && entry->d_type != DT_DIR)
            left.append(name);
    }
    ::closedir(dir);
    for (const QByteArray &name : left)
        ::unlinkat(m_fd, name.constData(), 0);
}

Outcome<void> OpenFolder::syncFileSystem() const
{
    detail::countFileSystemSync();
    if (m_fd >= 0 && ::syncfs(m_fd) == 0)
        return {};
    const int error = m_fd >= 0 ? errno : ENOENT;
    return Failure{m_path, reasonFor(error)};
}

bool OpenFolder::isTemporaryName(const QByteArray &name)
{
    static const QByteArray prefix(".tessaly-");
    if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i) {
        const char c = name.at(i);
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

} // namespace tessaly::files
