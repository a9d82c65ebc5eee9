#pragma once

#include "media/EpisodeProbe.h"

#include <QHash>
#include <QString>
#include <mutex>

namespace tessaly::media {

// What the probe found in each file, kept in one file between runs so that
// only new or changed files are probed again. A file is known by its path's
// bytes, its size and its modification time. A cache file that is damaged,
// of another program or of another version is ignored and written anew.
// Safe to use from several threads.
class FactsCache
{
public:
    // The name of the file in the workspace's data folder.
    static QString fileName() { return QStringLiteral("VideoFacts.json"); }

    explicit FactsCache(QString file);

    // The facts of the file, probed only when the cache does not know it
    // as it is now.
    MediaFacts facts(const QString &path, const ProbeLimits &limits = {});
    // Writes the cache whole and atomically, when anything was probed,
    // with what the file holds by then of files this cache does not know;
    // entries of files that are gone are left out.
    bool save(QString *reason = nullptr);

    int probed() const;

private:
    struct Entry
    {
        qint64 size = 0;
        qint64 modified = 0;
        MediaFacts facts;
    };

    void load();
    static QHash<QByteArray, Entry> readEntries(const QString &file);

    QString m_file;
    mutable std::mutex m_mutex;
    QHash<QByteArray, Entry> m_entries;
    int m_probed = 0;
};

} // namespace tessaly::media
