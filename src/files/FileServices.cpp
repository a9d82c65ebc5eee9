#include "files/FileServices.h"

#include "files/FileTexts.h"
#include "files/FolderCalls.h"
#include "files/NaturalOrder.h"
#include "files/Reasons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tessaly::files {

namespace {

std::atomic<int> fileSyncCount{0};
std::atomic<int> fileSystemSyncCount{0};

// The failure of a call on the path that left this error number.
Failure failureAt(const QString &path, int error)
{
    return Failure{path, reasonFor(error)};
}

// Short and of fixed length, so that a target whose name is as long as a
// file name may be is replaced too.
QByteArray temporaryName()
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name(".tessaly-");
    for (int i = 0; i < 6; ++i)
        name.append(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))]);
    return name;
}

struct EncodedName
{
    QString name;
    QByteArray bytes;
    QString folded;
    // Where its natural key lies in the listing's keys, when it needs one.
    size_t keyAt = 0;
    qsizetype keySize = 0;
};

// The name after simple case folding. Most names of a collection are
// lower-case ASCII and Chinese, which folding leaves as they are: those
// are shared, not copied.
QString caseFolded(const QString &name)
{
    for (const QChar c : name) {
        const char16_t unit = c.unicode();
        const bool unchanged = unit < 0x80
                                   ? !(unit >= u'A' && unit <= u'Z')
                                   // kana, CJK ideographs and Hangul have no case
                                   : (unit >= 0x3040 && unit <= 0x9fff) || (unit >= 0xac00 && unit <= 0xd7a3);
        if (!unchanged)
            return name.toCaseFolded();
    }
    return name;
}

bool textLess(const EncodedName &a, const EncodedName &b)
{
    if (const int folded = a.folded.compare(b.folded, Qt::CaseSensitive); folded != 0)
        return folded < 0;
    if (const int unfolded = a.name.compare(b.name, Qt::CaseSensitive); unfolded != 0)
        return unfolded < 0;
    return a.bytes < b.bytes;
}

void sortEncoded(std::vector<EncodedName> &names, NameOrder order)
{
    std::sort(names.begin(), names.end(),
              [](const EncodedName &a, const EncodedName &b) { return textLess(a, b); });
    if (order == NameOrder::Text)
        return;
    // Names numbered with the same width (01..12, S01E01) are in natural
    // order once in text order, which a look at each neighbour shows:
    // sorting again by keys is for folders numbered 1..12 alone.
    const auto outOfOrder = std::adjacent_find(names.begin(), names.end(), [](const auto &a, const auto &b) {
        return detail::compareNatural(a.folded, b.folded) > 0;
    });
    if (outOfOrder == names.end())
        return;
    std::vector<char32_t> keys;
    size_t room = 0;
    for (const EncodedName &name : names)
        room += size_t(name.folded.size()) * 3;
    keys.reserve(room);
    for (EncodedName &name : names) {
        name.keyAt = keys.size();
        name.keySize = detail::appendNaturalKey(name.folded, keys);
    }
    const char32_t *const key = keys.data();
    std::sort(names.begin(), names.end(), [key](const EncodedName &a, const EncodedName &b) {
        if (const int natural =
                detail::compareNaturalKeys(key + a.keyAt, a.keySize, key + b.keyAt, b.keySize);
            natural != 0)
            return natural < 0;
        return textLess(a, b);
    });
}

// The last file a chain of links leads to (the path itself when it is no
// link); a link to a missing file leads to that missing file.
QByteArray followLinks(const QByteArray &path)
{
    QByteArray current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat status;
        if (::lstat(current.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t size = ::readlink(current.constData(), target.data(), size_t(target.size()));
        if (size < 0 || size >= target.size())
            return current;
        target.truncate(size);
        if (!target.startsWith('/')) {
            const qsizetype slash = current.lastIndexOf('/');
            target.prepend(slash < 0 ? QByteArray() : current.left(slash + 1));
        }
        current = target;
    }
    return current;
}

} // namespace

namespace detail {

QByteArray freshTemporaryName()
{
    return temporaryName();
}

// Writes all the bytes, going on after short writes, so that a write cut
// short by a full disk ends in the error of the next call.
bool writeAll(int fd, const char *data, qsizetype size, int *error)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(std::min<qsizetype>(size, qsizetype(1) << 30)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        if (written == 0) {
            *error = ENOSPC;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

int openTemporaryIn(int folder, int mode, QByteArray *name, int *error, int access)
{
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        *name = temporaryName();
        fd = ::openat(folder, name->constData(), access | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            *error = errno;
            return -1;
        }
    }
    if (fd < 0) {
        *error = EEXIST;
        return -1;
    }
    if (mode >= 0)
        ::fchmod(fd, mode_t(mode)); // keeps the replaced file's permissions where it can
    return fd;
}

std::optional<QByteArray> writeTemporaryIn(int folder, const QByteArray &bytes, DataSync sync, int mode,
                                           int *error)
{
    QByteArray name;
    const int fd = openTemporaryIn(folder, mode, &name, error);
    if (fd < 0)
        return std::nullopt;
    bool written = writeAll(fd, bytes.constData(), bytes.size(), error);
    if (written && sync == DataSync::Now) {
        ++fileSyncCount;
        if (::fdatasync(fd) != 0) {
            *error = errno;
            written = false;
        }
    }
    if (::close(fd) != 0 && written) {
        *error = errno;
        written = false;
    }
    if (!written) {
        ::unlinkat(folder, name.constData(), 0);
        return std::nullopt;
    }
    return name;
}

namespace {

// Reads the open folder's entries and closes it.
// The name as `QFile::decodeName` gives it. A listing decodes every name
// of every episode folder, and most are valid UTF-8, which has one
// decoding: those are decoded here in one pass, several times faster, and
// copied into a string of exactly their length (a run keeps them).
// Anything else (a byte order mark Qt drops, bytes that are not UTF-8, a
// name longer than any file system allows) goes to Qt.
QString decodedName(const QByteArray &bytes)
{
    char16_t decoded[512];
    if (bytes.size() > qsizetype(std::size(decoded)) || bytes.startsWith("\xEF\xBB\xBF"))
        return QFile::decodeName(bytes);
    char16_t *out = decoded;
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *const end = in + bytes.size();
    const auto continuedBy = [&](int count) {
        if (end - in <= count)
            return false;
        for (int i = 1; i <= count; ++i) {
            if ((in[i] & 0xC0) != 0x80)
                return false;
        }
        return true;
    };
    while (in < end) {
        const unsigned lead = *in;
        if (lead < 0x80) {
            *out++ = char16_t(lead);
            ++in;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF && continuedBy(1)) {
            *out++ = char16_t(((lead & 0x1F) << 6) | (in[1] & 0x3F));
            in += 2;
            continue;
        }
        if (lead >= 0xE0 && lead <= 0xEF && continuedBy(2)) {
            const unsigned code = ((lead & 0x0F) << 12) | ((in[1] & 0x3F) << 6) | (in[2] & 0x3F);
            if (code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) {
                *out++ = char16_t(code);
                in += 3;
                continue;
            }
        } else if (lead >= 0xF0 && lead <= 0xF4 && continuedBy(3)) {
            const char32_t code =
                ((lead & 0x07) << 18) | ((in[1] & 0x3F) << 12) | ((in[2] & 0x3F) << 6) | (in[3] & 0x3F);
            if (code >= 0x10000 && code <= 0x10FFFF) {
                *out++ = QChar::highSurrogate(code);
                *out++ = QChar::lowSurrogate(code);
                in += 4;
                continue;
            }
        }
        return QFile::decodeName(bytes);
    }
    return QString(reinterpret_cast<const QChar *>(decoded), out - decoded);
}

Listing readEntries(DIR *dir, bool folders, NameOrder order, int *error)
{
    Listing listing;
    const int folder = ::dirfd(dir);
    std::vector<EncodedName> names;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue; // hidden, and the "." and ".." entries
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat status;
            if (::fstatat(folder, entry->d_name, &status, 0) != 0) {
                errno = 0;
                continue; // a dangling link is neither a file nor a folder
            }
            isFolder = S_ISDIR(status.st_mode);
            isFile = S_ISREG(status.st_mode);
        }
        if (folders ? isFolder : isFile) {
            const QByteArray bytes(entry->d_name);
            const QString name = decodedName(bytes);
            names.push_back({name, bytes, caseFolded(name)});
        }
        errno = 0;
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        *error = readError;
        return listing;
    }
    sortEncoded(names, order);
    listing.entries.reserve(qsizetype(names.size()));
    listing.encodedEntries.reserve(qsizetype(names.size()));
    for (EncodedName &name : names) {
        listing.entries.append(std::move(name.name));
        listing.encodedEntries.append(std::move(name.bytes));
    }
    return listing;
}

} // namespace

Listing listEntriesIn(int folder, bool folders, int *error)
{
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    DIR *dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        *error = errno;
        if (copy >= 0)
            ::close(copy);
        return {};
    }
    ::rewinddir(dir); // the copy shares its position with the open folder
    return readEntries(dir, folders, NameOrder::Text, error);
}

Listing listEntriesAt(const QByteArray &path, bool folders, NameOrder order, bool *opened, int *error)
{
    // opendir opens the folder with O_CLOEXEC itself: fewer calls than
    // open and fdopendir, for each episode folder of a run.
    DIR *dir = path.isEmpty() ? nullptr : ::opendir(path.constData());
    *opened = dir != nullptr;
    if (!dir) {
        *error = path.isEmpty() ? ENOENT : errno;
        return {};
    }
    return readEntries(dir, folders, order, error);
}

std::optional<QByteArray> readFileIn(int folder, const QByteArray &name, int *error, int flags)
{
    // Opened without blocking, and read only when it is a plain file: a
    // named pipe would wait for a writer forever, a device such as
    // /dev/zero never ends.
    const int fd = ::openat(folder, name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | flags);
    if (fd < 0) {
        *error = errno;
        return std::nullopt;
    }
    struct stat status;
    if (::fstat(fd, &status) != 0)
        *error = errno;
    else if (!S_ISREG(status.st_mode))
        *error = S_ISDIR(status.st_mode) ? EISDIR : ESPIPE;
    else
        return readAndClose(fd, qint64(status.st_size), error);
    ::close(fd);
    return std::nullopt;
}

std::optional<QByteArray> readAndClose(int fd, qint64 sizeHint, int *error)
{
    QByteArray bytes;
    if (sizeHint > 0)
        bytes.reserve(qsizetype(sizeHint));
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t size = ::read(fd, buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size < 0) {
            *error = errno;
            ::close(fd);
            return std::nullopt;
        }
        if (size == 0)
            break;
        bytes.append(buffer, size);
    }
    ::close(fd);
    return bytes;
}

void countFileSystemSync()
{
    ++fileSystemSyncCount;
}

} // namespace detail

namespace {

Listing listEntries(const QString &folder, bool folders, NameOrder order)
{
    bool opened = false;
    int error = 0;
    Listing listing = detail::listEntriesAt(QFile::encodeName(folder), folders, order, &opened, &error);
    if (error != 0) {
        listing = {};
        listing.failure = Failure{folder, reasonFor(error)};
        return listing;
    }
    if (folders) {
        for (QString &name : listing.entries)
            name = joinPath(folder, name);
    }
    return listing;
}

} // namespace

bool plainFileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

bool pathExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool folderExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString whyFolderCannotBeListed(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    // A run asks this of every project's folder before it begins, and most
    // can be listed: their "." can be read only when the folder can be
    // read and entered, which one call without opening anything tells.
    if (!path.isEmpty() && ::faccessat(AT_FDCWD, (path + "/.").constData(), R_OK, AT_EACCESS) == 0)
        return {};
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
        if (!pathExists(folder))
            return texts::noSuchFolder();
        if (!folderExists(folder))
            return texts::notAFolder();
    }
    return reasonFor(error);
}

bool isHiddenName(const QString &name)
{
    return name.startsWith(u'.');
}

Outcome<void> makeFolder(const QString &path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
        return {};
    return failureAt(path, errno);
}

Outcome<void> makePrivateFolder(const QString &path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0)
        return {};
    return failureAt(path, errno);
}

Outcome<void> deleteFile(const QString &path)
{
    if (::unlink(QFile::encodeName(path).constData()) == 0)
        return {};
    return failureAt(path, errno);
}

Outcome<void> writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = followLinks(QFile::encodeName(path));
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    const QByteArray name = target.mid(slash + 1);
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return failureAt(path, errno);
    struct stat status;
    const int mode =
        ::fstatat(folderFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode)
            ? int(status.st_mode & 07777)
            : -1;
    int error = 0;
    const std::optional<QByteArray> temporary =
        detail::writeTemporaryIn(folderFd, bytes, detail::DataSync::Now, mode, &error);
    if (temporary && ::renameat(folderFd, temporary->constData(), folderFd, name.constData()) != 0) {
        error = errno;
        ::unlinkat(folderFd, temporary->constData(), 0);
    }
    ::close(folderFd);
    if (error != 0)
        return failureAt(path, error);
    return {};
}

Outcome<QByteArray> readFileBytes(const QString &path)
{
    int error = 0;
    std::optional<QByteArray> bytes = detail::readFileIn(AT_FDCWD, QFile::encodeName(path), &error);
    if (!bytes)
        return failureAt(path, error);
    return *std::move(bytes);
}

Outcome<std::optional<QByteArray>> readPlainFile(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    // Not blocking, so that a named pipe at the path is passed over as it
    // is by `plainFileExists`, not waited on.
    const int fd = encoded.isEmpty() ? -1 : ::open(encoded.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = encoded.isEmpty() ? ENOENT : errno;
        if (plainFileExists(path))
            return failureAt(path, error);
        return std::optional<QByteArray>();
    }
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::optional<QByteArray>();
    }
    int error = 0;
    std::optional<QByteArray> bytes = detail::readAndClose(fd, qint64(status.st_size), &error);
    if (!bytes)
        return failureAt(path, error);
    return bytes;
}

Outcome<void> copyFileReplacing(const QString &source, const QString &target)
{
    const Outcome<QByteArray> bytes = readFileBytes(source);
    if (!bytes)
        return bytes.failure();
    return writeFileAtomically(target, *bytes);
}

Listing listFiles(const QString &folder, NameOrder order)
{
    return listEntries(folder, false, order);
}

Listing listFilesIfFolder(const QString &folder, bool *isFolder, NameOrder order)
{
    bool opened = false;
    int error = 0;
    Listing listing = detail::listEntriesAt(QFile::encodeName(folder), false, order, &opened, &error);
    *isFolder = opened || folderExists(folder);
    if (error != 0) {
        listing = {};
        if (*isFolder)
            listing.failure = Failure{folder, reasonFor(error)};
    }
    return listing;
}

Listing listFolders(const QString &folder, NameOrder order)
{
    return listEntries(folder, true, order);
}

bool nameLess(const QString &first, const QString &second)
{
    const int folded = caseFolded(first).compare(caseFolded(second), Qt::CaseSensitive);
    if (folded != 0)
        return folded < 0;
    return first.compare(second, Qt::CaseSensitive) < 0;
}

void sortNames(QStringList &names, NameOrder order)
{
    std::vector<EncodedName> keys;
    keys.reserve(size_t(names.size()));
    for (QString &name : names) {
        const QString folded = caseFolded(name); // once per name, not once per comparison
        keys.push_back({std::move(name), {}, folded});
    }
    sortEncoded(keys, order);
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keys[size_t(i)].name);
}

QString joinPath(const QString &folder, const QString &name)
{
    const QChar separator = QDir::separator();
    QString base = folder;
    while (base.size() > 1 && base.endsWith(separator))
        base.chop(1);
    QString tail = name;
    while (tail.startsWith(separator))
        tail.remove(0, 1);
    if (base.isEmpty())
        return tail;
    if (base.endsWith(separator))
        return base + tail;
    return base + separator + tail;
}

QString withoutTrailingSeparators(const QString &path)
{
    const QChar separator = QDir::separator();
    QString result = path;
    while (result.size() > 1 && result.endsWith(separator))
        result.chop(1);
    return result;
}

SyncCounts syncCounts()
{
    return {fileSyncCount.load(), fileSystemSyncCount.load()};
}

} // namespace tessaly::files
