#pragma once

#include "media/EpisodeCheck.h"
#include "media/FactsCache.h"
#include "site/EpisodeFacts.h"
#include "site/RunReport.h"
#include "site/WebCopyPlaces.h"

#include <QList>
#include <future>
#include <memory>
#include <optional>

namespace tessaly {

struct ProjectContent;
class Workspace;

// The check of a run's episodes: what browsers make of each, kept in the
// workspace's cache of probed files. It gives the new page set each
// episode's duration and verdict, and after a project's episode lines adds
// one line for each episode browsers may not play as it is and that has no
// up-to-date web copy; the lines are notes, not errors. Off, it reads and
// writes nothing and knows nothing but the web copies.
class VideoCheck : public EpisodeFactsProvider
{
public:
    VideoCheck(const Workspace &workspace, RunReport &report, bool enabled, WebCopyLinks links = {});

    EpisodeFacts factsOf(const QString &project, const QString &episodeFolder,
                         const QByteArray &fileName) const override;
    QString webCopyOf(const QString &project, const QString &episodeFolder,
                      const QByteArray &fileName) const override;
    void check(const ProjectContent &content);
    // Keeps what was probed for the next run; a cache that cannot be
    // written only costs the next run its time.
    void save();
    int noted() const { return m_noted; }

private:
    media::FactsCache &cache() const;

    RunReport &m_report;
    bool m_enabled;
    // The cache is read on a thread of its own while the run reads its
    // inputs and clears the old pages, and waited for when first needed.
    mutable std::future<std::unique_ptr<media::FactsCache>> m_loading;
    // Probing fills the cache; asking for facts does not change the run.
    mutable std::unique_ptr<media::FactsCache> m_cache;
    // The checks the pages of the last folder asked for, in the order of
    // its episodes, so that its note lines need not look at each file
    // again; one folder at a time.
    mutable QString m_checkedFolder;
    mutable std::optional<media::FactsCache::InFolder> m_folder;
    mutable QList<media::EpisodeCheck> m_checked;
    WebCopyLinks m_links;
    int m_noted = 0;
};

// The path of the probe's cache in the workspace's data folder.
QString videoFactsFile(const Workspace &workspace);

} // namespace tessaly
