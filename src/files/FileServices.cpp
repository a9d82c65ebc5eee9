#include "files/FileServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tessaly::files {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void setReason(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}

enum class EntryKind
{
    File,
    Folder
};

Listing listEntries(const QString &folder, EntryKind kind)
{
    Listing listing;
    const QByteArray encodedFolder = QFile::encodeName(folder);
    DIR *dir = encodedFolder.isEmpty() ? nullptr : ::opendir(encodedFolder.constData());
    if (!dir) {
        listing.error = encodedFolder.isEmpty() ? systemReason(ENOENT) : systemReason(errno);
        return listing;
    }
    QStringList names;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue; // hidden, and the "." and ".." entries
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat status;
            const QByteArray full = encodedFolder + '/' + entry->d_name;
            if (::stat(full.constData(), &status) != 0)
                continue; // a dangling link is neither a file nor a folder
            isFolder = S_ISDIR(status.st_mode);
            isFile = S_ISREG(status.st_mode);
        }
        if ((kind == EntryKind::Folder && isFolder) || (kind == EntryKind::File && isFile))
            names.append(QFile::decodeName(entry->d_name));
        errno = 0;
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError != 0) {
        listing.error = systemReason(readError);
        return listing;
    }
    sortNames(names);
    if (kind == EntryKind::Folder) {
        for (QString &name : names)
            name = joinPath(folder, name);
    }
    listing.entries = std::move(names);
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

bool directoryExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool folderExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool isHiddenName(const QString &name)
{
    return name.startsWith(u'.');
}

bool makeFolder(const QString &path, QString *reason)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
        return true;
    setReason(reason, systemReason(errno));
    return false;
}

bool deleteFile(const QString &path, QString *reason)
{
    if (::unlink(QFile::encodeName(path).constData()) == 0)
        return true;
    setReason(reason, systemReason(errno));
    return false;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setReason(reason, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        setReason(reason, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setReason(reason, file.errorString());
        return false;
    }
    return true;
}

std::optional<QByteArray> readFileBytes(const QString &path, QString *reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setReason(reason, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setReason(reason, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

bool copyFileReplacing(const QString &source, const QString &target, QString *reason)
{
    const std::optional<QByteArray> bytes = readFileBytes(source, reason);
    if (!bytes)
        return false;
    return writeFileAtomically(target, *bytes, reason);
}

bool sameContents(const QString &first, const QString &second)
{
    const QFileInfo firstInfo(first);
    const QFileInfo secondInfo(second);
    if (!firstInfo.isFile() || !secondInfo.isFile() || firstInfo.size() != secondInfo.size())
        return false;
    QFile a(first);
    QFile b(second);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 Chunk = 64 * 1024;
    while (!a.atEnd()) {
        if (a.read(Chunk) != b.read(Chunk))
            return false;
    }
    return b.atEnd();
}

Listing listFiles(const QString &folder)
{
    return listEntries(folder, EntryKind::File);
}

Listing listFolders(const QString &folder)
{
    return listEntries(folder, EntryKind::Folder);
}

bool nameLess(const QString &first, const QString &second)
{
    const int folded = first.toCaseFolded().compare(second.toCaseFolded(), Qt::CaseSensitive);
    if (folded != 0)
        return folded < 0;
    return first.compare(second, Qt::CaseSensitive) < 0;
}

void sortNames(QStringList &names)
{
    // Fold each name once, not once per comparison.
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keys.emplace_back(names.at(i).toCaseFolded(), i);
    std::sort(keys.begin(), keys.end(), [&names](const auto &a, const auto &b) {
        const int folded = a.first.compare(b.first, Qt::CaseSensitive);
        if (folded != 0)
            return folded < 0;
        return names.at(a.second).compare(names.at(b.second), Qt::CaseSensitive) < 0;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto &key : keys)
        sorted.append(names.at(key.second));
    names = std::move(sorted);
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

} // namespace tessaly::files
