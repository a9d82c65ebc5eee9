#pragma once

#include "files/Outcome.h"
#include "media/EpisodeCheck.h"
#include "media/EpisodeProbe.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <mutex>
#include <optional>
#include <vector>

class QCborStreamReader;

namespace tessaly::media {

// Bytes as the keys of the cache's tables: a file's or a folder's path, a
// kind of file. Hashed here rather than by Qt: Qt's hash of byte strings
// leaves the upper halves of the vector registers in use on processors with
// AVX-512, and every later SSE instruction of the thread pays for it until
// something clears them. A run that looked up its 50,000 episodes in tables
// hashed by Qt took twice as long to write its pages.
struct KeyBytes
{
    QByteArray bytes;

    bool operator==(const KeyBytes &) const = default;
};
size_t qHash(const KeyBytes &path, size_t seed = 0) noexcept;

// What the probe found in each file, kept in one file between runs so that
// only new or changed files are probed again. A file is known by its path's
// bytes, its size and its modification time. A cache file that is damaged,
// of another program or of another version is ignored and written anew.
// Safe to use from several threads.
//
// A run looks every episode of the site up again, tens of thousands of
// them, most alike but for their durations. So the file is compact binary
// (CBOR) that loads in one pass, files are kept by folder in the order they
// came, and what files share (their facts but the duration, and the verdict
// on them) is kept once: a run has each folder's files looked at ahead of
// it (`freshIn`), finds each episode where the last one was found, and
// judges nothing again.
class FactsCache
{
public:
    // The name of the file in the workspace's data folder.
    static QString fileName() { return QStringLiteral("VideoFacts.cbor"); }

    explicit FactsCache(QString file);

    // The facts of the file, probed only when the cache does not know it
    // as it is now.
    MediaFacts facts(const QString &path, const ProbeLimits &limits = {});
    // What browsers make of it and its duration, the same way.
    EpisodeCheck check(const QString &path, const ProbeLimits &limits = {});

    // The files of one folder, looked at through the folder opened once:
    // a run asks for each folder's episodes one by one, by their names'
    // bytes. It must not outlive its cache.
    class InFolder
    {
    public:
        InFolder(FactsCache &cache, const QString &folder);
        ~InFolder();
        InFolder(const InFolder &) = delete;
        InFolder &operator=(const InFolder &) = delete;

        EpisodeCheck check(const QByteArray &name, const ProbeLimits &limits = {});

    private:
        FactsCache &m_cache;
        QByteArray m_folder; // the path's bytes and a separator
        int m_descriptor = -1;
    };
    // The files of one folder that the cache knows as they are now, and
    // what they were found to be: worked out in one pass over the folder,
    // on any thread, so that a run can have them ready before it asks.
    // They are in the order they were first probed in, for a run the order
    // it lists them in: asked for in that order again, each is the next.
    class FreshFiles
    {
    public:
        // Nothing when the cache does not know the file as it is now.
        std::optional<EpisodeCheck> find(const QByteArray &name);

    private:
        friend class FactsCache;
        struct File
        {
            qsizetype nameAt;
            qsizetype nameSize;
            int kind;
            std::optional<double> seconds;
        };
        QByteArrayView nameOf(const File &file) const;

        QByteArray m_names; // one after another, where the files point
        std::vector<File> m_files;
        QList<Verdict> m_verdicts; // by kind
        qsizetype m_next = 0;      // where the next name is looked for first
        // Made the first time a name is not where it was looked for.
        QHash<KeyBytes, qsizetype> m_index;
    };
    FreshFiles freshIn(const QString &folder) const;

    // Writes the cache whole and atomically, when anything was probed,
    // with what the file holds by then of files this cache does not know;
    // entries of files that are gone are left out. A failure names the
    // cache file.
    files::Outcome<void> save();

    int probed() const;

private:
    struct Entry
    {
        qint64 size = 0;
        qint64 modified = 0;
        std::optional<double> seconds;
        int kind = 0;
        int order = 0; // when it came to the cache; kept when it is probed again
    };
    using Files = QHash<KeyBytes, Entry>;
    using Folders = QHash<KeyBytes, Files>;
    // A cache file as read: its kinds, and its entries by their index.
    struct Stored
    {
        QList<MediaFacts> kinds;
        Folders folders;
        int entries = 0; // the entries' orders are below it
    };
    struct Stamp
    {
        bool exists = false;
        qint64 size = 0;
        qint64 modified = 0;
    };

    // The file at `path`, relative to the folder `descriptor` unless it
    // is -1.
    static Stamp stampOf(const QByteArray &path, int descriptor = -1);
    static Stored read(const QString &file);
    static bool readFolders(QCborStreamReader &reader, Stored &stored, qsizetype kinds);
    // The entry of the file as it is now, or null; the lock is held.
    const Entry *known(const QByteArray &folder, const QByteArray &name, const Stamp &stamp) const;
    EpisodeCheck check(const QByteArray &folder, const QByteArray &name, const Stamp &stamp,
                       const ProbeLimits &limits);
    // Probes the file and keeps what it found when the probe read it.
    MediaFacts probe(const QByteArray &folder, const QByteArray &name, const Stamp &stamp,
                     const ProbeLimits &limits);
    // The index of the kind of these facts, added when new; the lock is held.
    int kindOf(const MediaFacts &facts);
    // Takes the entries of `stored` this cache does not know; the lock is held.
    void takeUnknown(Stored stored);
    // Keeps the facts of a probed file; the lock is held.
    void keep(const QByteArray &folder, const QByteArray &name, const Stamp &stamp, const MediaFacts &facts);

    QString m_file;
    mutable std::mutex m_mutex;
    // What files of one kind share: their facts but the duration, and the
    // verdict on them, by the kind's index.
    QList<MediaFacts> m_kinds;
    QList<Verdict> m_verdicts;
    QHash<KeyBytes, int> m_kindIndex;
    Folders m_folders;
    int m_nextOrder = 0;
    int m_probed = 0;
};

} // namespace tessaly::media
