#pragma once

#include "files/Outcome.h"
#include "media/EpisodeCheck.h"
#include "media/EpisodeProbe.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <mutex>

class QCborStreamReader;

namespace tessaly::media {

// What the probe found in each file, kept in one file between runs so that
// only new or changed files are probed again. A file is known by its path's
// bytes, its size and its modification time. A cache file that is damaged,
// of another program or of another version is ignored and written anew.
// Safe to use from several threads.
//
// A run looks every episode of the site up again, tens of thousands of
// them, most alike but for their durations. So the file is compact binary
// (CBOR) that loads in one pass, files are kept by folder, and what files
// share (their facts but the duration, and the verdict on them) is kept
// once: a lookup is a look at the file and two hash lookups, and judges
// nothing again.
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
    // Writes the cache whole and atomically, when anything was probed,
    // with what the file holds by then of files this cache does not know;
    // entries of files that are gone are left out. A failure names the
    // cache file.
    files::Outcome<void> save();

    int probed() const;

private:
    // What files of one kind share.
    struct Kind
    {
        MediaFacts facts; // without the duration
        Verdict verdict;
    };
    struct Entry
    {
        qint64 size = 0;
        qint64 modified = 0;
        std::optional<double> seconds;
        int kind = 0;
    };
    using Files = QHash<QByteArray, Entry>;
    // A cache file as read: its kinds, and its entries by their index.
    struct Stored
    {
        QList<MediaFacts> kinds;
        QHash<QByteArray, Files> folders;
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
    static bool readFolders(QCborStreamReader &reader, QHash<QByteArray, Files> &folders, qsizetype kinds);
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

    QString m_file;
    mutable std::mutex m_mutex;
    QList<Kind> m_kinds;
    QHash<QByteArray, int> m_kindIndex;
    QHash<QByteArray, Files> m_folders;
    int m_probed = 0;
};

} // namespace tessaly::media
