#include "media/FactsCache.h"

#include "files/FileServices.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborStreamReader>
#include <QCborValue>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace tessaly::media {

namespace {

const QString Format = QStringLiteral("tessaly-video-facts");
// Raised whenever what the probe finds or how it is stored changes, so that
// facts found by an older probe are found again.
constexpr int Version = 3;
// The files of a folder are one string of bytes, a record per file: the
// name's length (2 bytes) and bytes, the size and the modification time
// (8 bytes each), the duration in seconds (a double, NaN when unknown) and
// the index of the kind (4 bytes), little-endian. Tens of thousands of
// files load in one pass over it, without a value made for each field.
constexpr qsizetype RecordFixed = 2 + 8 + 8 + 8 + 4;

template <typename T> T takeLittleEndian(const char *&at)
{
    T value = qFromLittleEndian<T>(at);
    at += sizeof(T);
    return value;
}

template <typename T> void putLittleEndian(QByteArray &out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

// A kind is stored as an array, in this order.
QCborArray kindToCbor(const MediaFacts &facts)
{
    return {facts.readable,
            facts.empty,
            facts.container,
            facts.family,
            facts.videoCodec,
            facts.videoProfile,
            facts.bitDepth,
            facts.chromaWidthShift,
            facts.chromaHeightShift,
            facts.width,
            facts.height,
            facts.interlaced,
            QCborArray::fromStringList(facts.audioCodecs),
            facts.indexAtEnd};
}

MediaFacts kindFromCbor(const QCborArray &kind)
{
    MediaFacts facts;
    facts.readable = kind.at(0).toBool();
    facts.empty = kind.at(1).toBool();
    facts.container = kind.at(2).toString();
    facts.family = kind.at(3).toString();
    facts.videoCodec = kind.at(4).toString();
    facts.videoProfile = kind.at(5).toString();
    facts.bitDepth = int(kind.at(6).toInteger());
    facts.chromaWidthShift = int(kind.at(7).toInteger());
    facts.chromaHeightShift = int(kind.at(8).toInteger());
    facts.width = int(kind.at(9).toInteger());
    facts.height = int(kind.at(10).toInteger());
    facts.interlaced = kind.at(11).toBool();
    for (const QCborValue &codec : kind.at(12).toArray())
        facts.audioCodecs.append(codec.toString());
    facts.indexAtEnd = kind.at(13).toBool();
    return facts;
}

// The whole text or byte string at the reader, which moves past it, read
// with `read`; nothing when the item is not one (it is skipped) or the
// stream is damaged.
template <typename Text>
std::optional<Text> whole(QCborStreamReader &reader, bool isOne,
                          QCborStreamReader::StringResult<Text> (QCborStreamReader::*read)())
{
    if (!isOne) {
        reader.next();
        return std::nullopt;
    }
    Text text;
    auto chunk = (reader.*read)();
    while (chunk.status == QCborStreamReader::Ok) {
        text += chunk.data;
        chunk = (reader.*read)();
    }
    if (chunk.status == QCborStreamReader::Error)
        return std::nullopt;
    return text;
}

std::optional<QString> wholeString(QCborStreamReader &reader)
{
    return whole(reader, reader.isString(), &QCborStreamReader::readString);
}

std::optional<QByteArray> wholeBytes(QCborStreamReader &reader)
{
    return whole(reader, reader.isByteArray(), &QCborStreamReader::readByteArray);
}

// The integer at the reader, which moves past the item, or `otherwise`.
qint64 integerOr(QCborStreamReader &reader, qint64 otherwise)
{
    const qint64 value = reader.isInteger() ? reader.toInteger() : otherwise;
    reader.next();
    return value;
}

// The folder's path bytes and the name's, as the cache keeps a file.
std::pair<QByteArray, QByteArray> splitPath(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    const qsizetype slash = bytes.lastIndexOf('/');
    return {bytes.left(slash + 1), bytes.mid(slash + 1)};
}

// The folder opened to look at its files by name (-1 when it cannot be),
// and its path's bytes ending in a separator, as the cache keeps it.
std::pair<QByteArray, int> openFolder(const QString &folder)
{
    QByteArray path = QFile::encodeName(folder);
    while (path.endsWith('/'))
        path.chop(1);
    const int descriptor = ::open(path.isEmpty() ? "/" : path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    path.append('/');
    return {path, descriptor};
}

} // namespace

size_t qHash(const KeyBytes &path, size_t seed) noexcept
{
    // FNV-1a from the table's seed: plain integer work.
    quint64 hash = 0xcbf29ce484222325ULL ^ seed;
    for (const char byte : path.bytes) {
        hash ^= quint8(byte);
        hash *= 0x100000001b3ULL;
    }
    return size_t(hash);
}

FactsCache::FactsCache(QString file) : m_file(std::move(file))
{
    takeUnknown(read(m_file));
}

FactsCache::InFolder::InFolder(FactsCache &cache, const QString &folder) : m_cache(cache)
{
    std::tie(m_folder, m_descriptor) = openFolder(folder);
}

FactsCache::InFolder::~InFolder()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

EpisodeCheck FactsCache::InFolder::check(const QByteArray &name, const ProbeLimits &limits)
{
    const Stamp stamp = m_descriptor >= 0 ? stampOf(name, m_descriptor) : Stamp{};
    return m_cache.check(m_folder, name, stamp, limits);
}

FactsCache::Stamp FactsCache::stampOf(const QByteArray &path, int descriptor)
{
    struct stat status;
    if (path.isEmpty() ||
        ::fstatat(descriptor >= 0 ? descriptor : AT_FDCWD, path.constData(), &status, 0) != 0)
        return {};
    return {true, qint64(status.st_size),
            qint64(status.st_mtim.tv_sec) * 1000 + qint64(status.st_mtim.tv_nsec) / 1000000};
}

FactsCache::Stored FactsCache::read(const QString &file)
{
    const files::Outcome<std::optional<QByteArray>> read = files::readPlainFile(file);
    if (!read || !*read)
        return {};
    const std::optional<QByteArray> &bytes = *read;
    // Read as a stream straight into the hashes: a run reads the file
    // before it can judge its first episode, and a tree of values for every
    // file of the site would take several times as long to build.
    Stored stored;
    QCborStreamReader reader(*bytes);
    QString format;
    qint64 version = -1;
    bool kindsRead = false;
    bool folderBeforeKinds = false;
    if (!reader.isMap() || !reader.enterContainer())
        return {};
    while (reader.lastError() == QCborError::NoError && reader.hasNext()) {
        const std::optional<QString> key = wholeString(reader);
        if (!key || !reader.hasNext())
            return {};
        if (*key == QLatin1String("format")) {
            format = wholeString(reader).value_or(QString());
        } else if (*key == QLatin1String("version")) {
            version = integerOr(reader, -1);
        } else if (*key == QLatin1String("kinds")) {
            for (const QCborValue &kind : QCborValue::fromCbor(reader).toArray())
                stored.kinds.append(kindFromCbor(kind.toArray()));
            kindsRead = true;
        } else if (*key == QLatin1String("folders")) {
            folderBeforeKinds = !kindsRead;
            if (!readFolders(reader, stored, kindsRead ? stored.kinds.size() : -1))
                return {};
        } else {
            reader.next();
        }
    }
    if (reader.lastError() != QCborError::NoError || !reader.leaveContainer() || format != Format ||
        version != Version)
        return {};
    if (folderBeforeKinds) {
        for (Files &folder : stored.folders)
            folder.removeIf([&](const auto &entry) { return entry.value().kind >= stored.kinds.size(); });
    }
    return stored;
}

// Each folder is its path's bytes, ending in the separator, then its
// records in the order they came to the cache. Entries without a name or
// with a kind out of range (when `kinds` is known) are left out; false when
// the stream or a record is damaged.
bool FactsCache::readFolders(QCborStreamReader &reader, Stored &stored, qsizetype kinds)
{
    if (!reader.isArray() || !reader.enterContainer())
        return false;
    while (reader.lastError() == QCborError::NoError && reader.hasNext()) {
        const std::optional<QByteArray> path = wholeBytes(reader);
        if (!reader.hasNext())
            break;
        const std::optional<QByteArray> records = wholeBytes(reader);
        if (!path || !records)
            continue;
        Files &folder = stored.folders[KeyBytes{*path}];
        const char *at = records->constData();
        const char *const end = at + records->size();
        while (at < end) {
            if (end - at < RecordFixed)
                return false;
            const quint16 nameLength = takeLittleEndian<quint16>(at);
            if (end - at < RecordFixed - 2 + nameLength)
                return false;
            KeyBytes name{QByteArray(at, nameLength)};
            at += nameLength;
            Entry entry;
            entry.size = takeLittleEndian<qint64>(at);
            entry.modified = takeLittleEndian<qint64>(at);
            const double seconds = std::bit_cast<double>(takeLittleEndian<quint64>(at));
            if (!std::isnan(seconds))
                entry.seconds = seconds;
            entry.kind = takeLittleEndian<qint32>(at);
            if (name.bytes.isEmpty() || entry.kind < 0 || (kinds >= 0 && entry.kind >= kinds))
                continue;
            entry.order = stored.entries++;
            folder.insert(std::move(name), entry);
        }
    }
    return reader.lastError() == QCborError::NoError && reader.leaveContainer();
}

int FactsCache::kindOf(const MediaFacts &facts)
{
    MediaFacts kind = facts;
    kind.seconds.reset();
    KeyBytes signature{QCborValue(kindToCbor(kind)).toCbor()};
    const auto found = m_kindIndex.constFind(signature);
    if (found != m_kindIndex.cend())
        return *found;
    m_verdicts.append(verdictFor(kind));
    m_kinds.append(std::move(kind));
    m_kindIndex.insert(std::move(signature), int(m_kinds.size() - 1));
    return int(m_kinds.size() - 1);
}

void FactsCache::takeUnknown(Stored stored)
{
    QList<int> kinds;
    kinds.reserve(stored.kinds.size());
    bool renumbered = false;
    for (const MediaFacts &kind : stored.kinds) {
        kinds.append(kindOf(kind));
        renumbered = renumbered || kinds.last() != kinds.size() - 1;
    }
    // They came after what this cache has.
    const int orderFrom = m_nextOrder;
    m_nextOrder += stored.entries;
    for (auto folder = stored.folders.begin(); folder != stored.folders.end(); ++folder) {
        if (renumbered || orderFrom > 0) {
            for (Entry &entry : *folder) {
                entry.kind = kinds.at(entry.kind);
                entry.order += orderFrom;
            }
        }
        Files &known = m_folders[folder.key()];
        if (known.isEmpty()) {
            known = std::move(*folder);
            continue;
        }
        for (auto entry = folder->cbegin(); entry != folder->cend(); ++entry) {
            if (!known.contains(entry.key()))
                known.insert(entry.key(), *entry);
        }
    }
}

const FactsCache::Entry *FactsCache::known(const QByteArray &folder, const QByteArray &name,
                                           const Stamp &stamp) const
{
    if (!stamp.exists)
        return nullptr;
    const auto files = m_folders.constFind(KeyBytes{folder});
    if (files == m_folders.cend())
        return nullptr;
    const auto found = files->constFind(KeyBytes{name});
    if (found == files->cend() || found->size != stamp.size || found->modified != stamp.modified)
        return nullptr;
    return &*found;
}

MediaFacts FactsCache::probe(const QByteArray &folder, const QByteArray &name, const Stamp &stamp,
                             const ProbeLimits &limits)
{
    const MediaFacts facts = probeEpisode(QByteArray(folder + name), limits);
    // A file that could not be read because the libraries are missing or
    // time ran out is tried again next time; one the probe read is kept.
    if (stamp.exists && (facts.readable || facts.empty)) {
        std::lock_guard lock(m_mutex);
        keep(folder, name, stamp, facts);
    }
    return facts;
}

void FactsCache::keep(const QByteArray &folder, const QByteArray &name, const Stamp &stamp,
                      const MediaFacts &facts)
{
    Files &files = m_folders[KeyBytes{folder}];
    KeyBytes key{name};
    const auto known = files.constFind(key);
    const int order = known != files.cend() ? known->order : m_nextOrder++;
    files.insert(std::move(key), {stamp.size, stamp.modified, facts.seconds, kindOf(facts), order});
    ++m_probed;
}

MediaFacts FactsCache::facts(const QString &path, const ProbeLimits &limits)
{
    const auto [folder, name] = splitPath(path);
    const Stamp stamp = stampOf(folder + name);
    {
        std::lock_guard lock(m_mutex);
        if (const Entry *entry = known(folder, name, stamp)) {
            MediaFacts facts = m_kinds.at(entry->kind);
            facts.seconds = entry->seconds;
            return facts;
        }
    }
    return probe(folder, name, stamp, limits);
}

EpisodeCheck FactsCache::check(const QString &path, const ProbeLimits &limits)
{
    const auto [folder, name] = splitPath(path);
    return check(folder, name, stampOf(folder + name), limits);
}

EpisodeCheck FactsCache::check(const QByteArray &folder, const QByteArray &name, const Stamp &stamp,
                               const ProbeLimits &limits)
{
    {
        std::lock_guard lock(m_mutex);
        if (const Entry *entry = known(folder, name, stamp))
            return {m_verdicts.at(entry->kind), entry->seconds};
    }
    const MediaFacts facts = probe(folder, name, stamp, limits);
    return {verdictFor(facts), facts.seconds};
}

QByteArrayView FactsCache::FreshFiles::nameOf(const File &file) const
{
    return QByteArrayView(m_names).sliced(file.nameAt, file.nameSize);
}

std::optional<EpisodeCheck> FactsCache::FreshFiles::find(const QByteArray &name)
{
    qsizetype at = m_next;
    if (at >= qsizetype(m_files.size()) || nameOf(m_files[size_t(at)]) != name) {
        if (m_index.isEmpty()) {
            for (qsizetype i = 0; i < qsizetype(m_files.size()); ++i)
                m_index.insert(KeyBytes{nameOf(m_files[size_t(i)]).toByteArray()}, i);
        }
        const auto found = m_index.constFind(KeyBytes{name});
        if (found == m_index.cend())
            return std::nullopt;
        at = *found;
    }
    m_next = at + 1;
    const File &file = m_files[size_t(at)];
    return EpisodeCheck{m_verdicts.at(file.kind), file.seconds};
}

FactsCache::FreshFiles FactsCache::freshIn(const QString &folder) const
{
    FreshFiles fresh;
    const auto [path, descriptor] = openFolder(folder);
    if (descriptor < 0)
        return fresh;
    // Taken out under the lock, looked at without it.
    struct Known
    {
        QByteArray name;
        Entry entry;
    };
    std::vector<Known> known;
    {
        std::lock_guard lock(m_mutex);
        fresh.m_verdicts = m_verdicts;
        if (const auto files = m_folders.constFind(KeyBytes{path}); files != m_folders.cend()) {
            known.reserve(size_t(files->size()));
            for (auto entry = files->cbegin(); entry != files->cend(); ++entry)
                known.push_back({entry.key().bytes, *entry});
        }
    }
    std::sort(known.begin(), known.end(),
              [](const Known &a, const Known &b) { return a.entry.order < b.entry.order; });
    qsizetype room = 0;
    for (const Known &file : known)
        room += file.name.size();
    fresh.m_names.reserve(room);
    fresh.m_files.reserve(known.size());
    for (const Known &file : known) {
        const Stamp stamp = stampOf(file.name, descriptor);
        if (!stamp.exists || stamp.size != file.entry.size || stamp.modified != file.entry.modified)
            continue;
        fresh.m_files.push_back(
            {fresh.m_names.size(), file.name.size(), file.entry.kind, file.entry.seconds});
        fresh.m_names.append(file.name);
    }
    ::close(descriptor);
    return fresh;
}

int FactsCache::probed() const
{
    std::lock_guard lock(m_mutex);
    return m_probed;
}

files::Outcome<void> FactsCache::save()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_probed == 0)
            return {};
    }
    // Another user of the file (the window beside a run, say) may have
    // saved files this one never asked about; they are kept.
    Stored saved = read(m_file);
    QCborArray folders;
    QCborArray kinds;
    {
        std::lock_guard lock(m_mutex);
        takeUnknown(std::move(saved));
        // Only the kinds of files still there are written, renumbered.
        QList<int> written(m_kinds.size(), -1);
        for (auto folder = m_folders.cbegin(); folder != m_folders.cend(); ++folder) {
            // In the order they came, which a run's look ahead relies on.
            std::vector<Files::const_iterator> entries;
            entries.reserve(size_t(folder->size()));
            for (auto entry = folder->cbegin(); entry != folder->cend(); ++entry)
                entries.push_back(entry);
            std::sort(entries.begin(), entries.end(),
                      [](const auto &a, const auto &b) { return a->order < b->order; });
            QByteArray files;
            for (const Files::const_iterator &entry : entries) {
                const QByteArray &name = entry.key().bytes;
                if (name.size() > 0xFFFF || !stampOf(folder.key().bytes + name).exists)
                    continue;
                int &kind = written[entry->kind];
                if (kind < 0) {
                    kind = int(kinds.size());
                    kinds.append(kindToCbor(m_kinds.at(entry->kind)));
                }
                putLittleEndian(files, quint16(name.size()));
                files.append(name);
                putLittleEndian(files, qint64(entry->size));
                putLittleEndian(files, qint64(entry->modified));
                putLittleEndian(files, std::bit_cast<quint64>(entry->seconds.value_or(std::nan(""))));
                putLittleEndian(files, qint32(kind));
            }
            if (files.isEmpty())
                continue;
            folders.append(folder.key().bytes);
            folders.append(files);
        }
    }
    const QCborMap root{{QStringLiteral("format"), Format},
                        {QStringLiteral("version"), Version},
                        {QStringLiteral("kinds"), kinds},
                        {QStringLiteral("folders"), folders}};
    if (const files::Outcome<void> written = files::writeFileAtomically(m_file, QCborValue(root).toCbor());
        !written)
        return files::Failure{m_file, written.failure().reason};
    std::lock_guard lock(m_mutex);
    m_probed = 0;
    return {};
}

} // namespace tessaly::media
