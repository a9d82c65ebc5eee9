#include "media/FactsCache.h"

#include "files/FileServices.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tessaly::media {

namespace {

const QString Format = QStringLiteral("tessaly-video-facts");
// Raised whenever what the probe finds or how it is stored changes, so that
// facts found by an older probe are found again.
constexpr int Version = 1;

QJsonObject toJson(const MediaFacts &facts)
{
    QJsonObject object{
        {QStringLiteral("readable"), facts.readable},
        {QStringLiteral("empty"), facts.empty},
        {QStringLiteral("container"), facts.container},
        {QStringLiteral("family"), facts.family},
        {QStringLiteral("videoCodec"), facts.videoCodec},
        {QStringLiteral("videoProfile"), facts.videoProfile},
        {QStringLiteral("bitDepth"), facts.bitDepth},
        {QStringLiteral("chromaWidthShift"), facts.chromaWidthShift},
        {QStringLiteral("chromaHeightShift"), facts.chromaHeightShift},
        {QStringLiteral("width"), facts.width},
        {QStringLiteral("height"), facts.height},
        {QStringLiteral("interlaced"), facts.interlaced},
        {QStringLiteral("audioCodecs"), QJsonArray::fromStringList(facts.audioCodecs)},
        {QStringLiteral("indexAtEnd"), facts.indexAtEnd},
    };
    if (facts.seconds)
        object.insert(QStringLiteral("seconds"), *facts.seconds);
    return object;
}

MediaFacts fromJson(const QJsonObject &object)
{
    MediaFacts facts;
    facts.readable = object.value(QStringLiteral("readable")).toBool();
    facts.empty = object.value(QStringLiteral("empty")).toBool();
    facts.container = object.value(QStringLiteral("container")).toString();
    facts.family = object.value(QStringLiteral("family")).toString();
    facts.videoCodec = object.value(QStringLiteral("videoCodec")).toString();
    facts.videoProfile = object.value(QStringLiteral("videoProfile")).toString();
    facts.bitDepth = object.value(QStringLiteral("bitDepth")).toInt();
    facts.chromaWidthShift = object.value(QStringLiteral("chromaWidthShift")).toInt();
    facts.chromaHeightShift = object.value(QStringLiteral("chromaHeightShift")).toInt();
    facts.width = object.value(QStringLiteral("width")).toInt();
    facts.height = object.value(QStringLiteral("height")).toInt();
    facts.interlaced = object.value(QStringLiteral("interlaced")).toBool();
    for (const QJsonValue &codec : object.value(QStringLiteral("audioCodecs")).toArray())
        facts.audioCodecs.append(codec.toString());
    facts.indexAtEnd = object.value(QStringLiteral("indexAtEnd")).toBool();
    const QJsonValue seconds = object.value(QStringLiteral("seconds"));
    if (seconds.isDouble())
        facts.seconds = seconds.toDouble();
    return facts;
}

struct Stamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;
};

Stamp stampOf(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return {};
    return {true, file.size(), file.lastModified().toMSecsSinceEpoch()};
}

} // namespace

FactsCache::FactsCache(QString file) : m_file(std::move(file))
{
    load();
}

void FactsCache::load()
{
    m_entries = readEntries(m_file);
}

QHash<QByteArray, FactsCache::Entry> FactsCache::readEntries(const QString &file)
{
    QHash<QByteArray, Entry> entries;
    bool missing = false;
    const std::optional<QByteArray> bytes = files::readPlainFile(file, &missing);
    if (!bytes)
        return entries;
    const QJsonObject root = QJsonDocument::fromJson(*bytes).object();
    if (root.value(QStringLiteral("format")).toString() != Format ||
        root.value(QStringLiteral("version")).toInt() != Version)
        return entries;
    for (const QJsonValue &value : root.value(QStringLiteral("files")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QByteArray path =
            QByteArray::fromBase64(entry.value(QStringLiteral("path")).toString().toLatin1());
        if (path.isEmpty() || !entry.value(QStringLiteral("facts")).isObject())
            continue;
        entries.insert(path, {qint64(entry.value(QStringLiteral("size")).toDouble(-1)),
                              qint64(entry.value(QStringLiteral("modified")).toDouble(-1)),
                              fromJson(entry.value(QStringLiteral("facts")).toObject())});
    }
    return entries;
}

MediaFacts FactsCache::facts(const QString &path, const ProbeLimits &limits)
{
    const QByteArray key = QFile::encodeName(path);
    const Stamp stamp = stampOf(path);
    {
        std::lock_guard lock(m_mutex);
        const auto known = m_entries.constFind(key);
        if (stamp.exists && known != m_entries.cend() && known->size == stamp.size &&
            known->modified == stamp.modified)
            return known->facts;
    }
    const MediaFacts facts = probeEpisode(path, limits);
    // A file that could not be read because the libraries are missing or
    // time ran out is tried again next time; one the probe read is kept.
    if (stamp.exists && (facts.readable || facts.empty)) {
        std::lock_guard lock(m_mutex);
        m_entries.insert(key, {stamp.size, stamp.modified, facts});
        ++m_probed;
    }
    return facts;
}

int FactsCache::probed() const
{
    std::lock_guard lock(m_mutex);
    return m_probed;
}

bool FactsCache::save(QString *reason)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_probed == 0)
            return true;
    }
    // Another user of the file (the window beside a run, say) may have
    // saved files this one never asked about; they are kept.
    const QHash<QByteArray, Entry> saved = readEntries(m_file);
    QJsonArray entries;
    {
        std::lock_guard lock(m_mutex);
        for (auto entry = saved.cbegin(); entry != saved.cend(); ++entry) {
            if (!m_entries.contains(entry.key()))
                m_entries.insert(entry.key(), entry.value());
        }
        for (auto entry = m_entries.cbegin(); entry != m_entries.cend(); ++entry) {
            if (!stampOf(QFile::decodeName(entry.key())).exists)
                continue;
            entries.append(QJsonObject{{QStringLiteral("path"), QString::fromLatin1(entry.key().toBase64())},
                                       {QStringLiteral("size"), double(entry->size)},
                                       {QStringLiteral("modified"), double(entry->modified)},
                                       {QStringLiteral("facts"), toJson(entry->facts)}});
        }
    }
    const QJsonObject root{{QStringLiteral("format"), Format},
                           {QStringLiteral("version"), Version},
                           {QStringLiteral("files"), entries}};
    if (!files::writeFileAtomically(m_file, QJsonDocument(root).toJson(QJsonDocument::Compact), reason))
        return false;
    std::lock_guard lock(m_mutex);
    m_probed = 0;
    return true;
}

} // namespace tessaly::media
