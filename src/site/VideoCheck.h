#pragma once

#include "media/EpisodeCheck.h"
#include "media/FactsCache.h"
#include "site/EpisodeFacts.h"
#include "site/RunReport.h"
#include "site/WebCopyPlaces.h"

#include <QList>
#include <memory>
#include <optional>

namespace tessaly {

struct ProjectContent;
struct ProjectSource;
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
    ~VideoCheck() override;

    // The projects the run will make, in its order: the files of their
    // episode folders are looked at ahead of the run, on a thread of their
    // own. Said once, before the first episode is asked for.
    void expect(const QList<ProjectSource> &sources);

    EpisodeFacts factsOf(const QString &project, const QString &episodeFolder,
                         const QByteArray &fileName) const override;
    QString webCopyOf(const QString &project, const QString &episodeFolder,
                      const QByteArray &fileName) const override;
    void check(const ProjectContent &content);
    // Keeps what was probed for the next run (a cache that cannot be
    // written only costs the next run its time) and lets the cache go:
    // the run asks for nothing more.
    void finish();
    int noted() const { return m_noted; }

private:
    class Lookahead;

    media::FactsCache &cache() const;
    media::EpisodeCheck checkOf(const QString &episodeFolder, const QByteArray &fileName) const;

    RunReport &m_report;
    bool m_enabled;
    // Reads the cache and looks at the expected folders' files ahead of
    // the run; probing fills the cache, asking for facts does not change
    // the run.
    std::unique_ptr<Lookahead> m_lookahead;
    bool m_finished = false;
    // The last folder asked for: its files known as they are now, those
    // looked at one by one (a new or changed file), and the checks its
    // pages asked for, in the order of its episodes, so that its note
    // lines need not look at each file again.
    mutable QString m_checkedFolder;
    mutable std::optional<media::FactsCache::FreshFiles> m_fresh;
    mutable std::optional<media::FactsCache::InFolder> m_folder;
    mutable QList<media::EpisodeCheck> m_checked;
    WebCopyLinks m_links;
    int m_noted = 0;
};

// The path of the probe's cache in the workspace's data folder.
QString videoFactsFile(const Workspace &workspace);

} // namespace tessaly
