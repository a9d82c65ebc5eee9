#include "site/PublishedRecord.h"

#include "files/OpenFolder.h"

#include <QList>
#include <algorithm>

namespace tessaly::published {

namespace {

const QByteArray &header()
{
    static const QByteArray text("tessaly published files 1");
    return text;
}

const QByteArray &closing()
{
    static const QByteArray text("end");
    return text;
}

// Larger than any real site's record; a bigger file is not one.
constexpr qint64 MaximumRecordBytes = 64 * 1024 * 1024;

bool isPublishingFolder(const QByteArray &folder)
{
    return folder == "Data" || folder == "Image" || folder == "Video";
}

// `Subtitle` holds a folder per project, and files only in those.
bool isTwoLevelFolder(const QByteArray &folder)
{
    return folder == "Subtitle";
}

bool isWebCopyEntry(const QByteArray &entry)
{
    const QList<QByteArray> parts = entry.split('/');
    return parts.size() >= 2 && parts.first() == "Video" && parts.last().endsWith(".mp4") &&
           std::all_of(parts.cbegin() + 1, parts.cend(), isUsableFileName);
}

} // namespace

// Hidden names are never publishing's: the listings it copies leave hidden
// files out, so a temporary file or `.htaccess` is never one of its own.
bool isUsableFileName(const QByteArray &name)
{
    if (name.isEmpty() || name.startsWith('.') || name.size() > 255)
        return false;
    return std::none_of(name.cbegin(), name.cend(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f || c == '/' || c == '\\';
    });
}

QByteArray recordName()
{
    return QByteArrayLiteral(".tessaly-published");
}

QByteArray indexEntry()
{
    return QByteArrayLiteral("index.html");
}

QByteArray entryOf(const QByteArray &folder, const QByteArray &name)
{
    return folder + '/' + name;
}

bool isAcceptableEntry(const QByteArray &entry)
{
    if (entry == indexEntry() || isWebCopyEntry(entry))
        return true;
    const QList<QByteArray> parts = entry.split('/');
    if (parts.size() == 2)
        return isPublishingFolder(parts[0]) && isUsableFileName(parts[1]);
    return parts.size() == 3 && isTwoLevelFolder(parts[0]) && isUsableFileName(parts[1]) &&
           isUsableFileName(parts[2]);
}

std::optional<QSet<QByteArray>> read(const files::OpenFolder &site)
{
    const QByteArray name = recordName();
    const std::optional<qint64> size = site.fileSize(name);
    if (!size || *size > MaximumRecordBytes)
        return std::nullopt;
    const files::Outcome<QByteArray> bytes = site.readFile(name);
    if (!bytes || !bytes->endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> lines = bytes->chopped(1).split('\n');
    if (lines.size() < 2 || lines.first() != header() || lines.last() != closing())
        return std::nullopt;
    QSet<QByteArray> entries;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        if (isAcceptableEntry(lines.at(i)))
            entries.insert(lines.at(i));
    }
    return entries;
}

files::Outcome<void> write(const files::OpenFolder &site, const QSet<QByteArray> &entries)
{
    QList<QByteArray> sorted(entries.cbegin(), entries.cend());
    std::sort(sorted.begin(), sorted.end());
    QByteArray bytes = header() + '\n';
    for (const QByteArray &entry : sorted) {
        if (isAcceptableEntry(entry))
            bytes += entry + '\n';
    }
    bytes += closing() + '\n';
    // A run that changed nothing writes nothing, not even on a full disk.
    if (site.holdsSameBytes(recordName(), bytes))
        return {};
    if (const files::Outcome<void> written = site.replaceFile(recordName(), bytes); !written)
        return files::Failure{site.pathOf(recordName()), written.failure().reason};
    return {};
}

QSet<QByteArray> namesIn(const QSet<QByteArray> &entries, const QByteArray &folder)
{
    const QByteArray prefix = folder + '/';
    QSet<QByteArray> names;
    for (const QByteArray &entry : entries) {
        if (entry.startsWith(prefix))
            names.insert(entry.sliced(prefix.size()));
    }
    return names;
}

QSet<QByteArray> foldersIn(const QSet<QByteArray> &entries, const QByteArray &folder)
{
    const QByteArray prefix = folder + '/';
    QSet<QByteArray> folders;
    for (const QByteArray &entry : entries) {
        const qsizetype slash = entry.indexOf('/', prefix.size());
        if (entry.startsWith(prefix) && slash > prefix.size())
            folders.insert(entry.sliced(prefix.size(), slash - prefix.size()));
    }
    return folders;
}

} // namespace tessaly::published
