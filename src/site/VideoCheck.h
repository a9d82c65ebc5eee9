#pragma once

#include "media/FactsCache.h"
#include "site/RunReport.h"

#include <optional>

namespace tessaly {

struct ProjectContent;
class Workspace;

// The check of a run's episodes: after a project's episode lines, one line
// for each episode browsers may not play as it is. The lines are notes, not
// errors. Off, it reads and writes nothing.
class VideoCheck
{
public:
    VideoCheck(const Workspace &workspace, RunReport &report, bool enabled);

    void check(const ProjectContent &content);
    // Keeps what was probed for the next run; a cache that cannot be
    // written only costs the next run its time.
    void save();
    int noted() const { return m_noted; }

private:
    RunReport &m_report;
    std::optional<media::FactsCache> m_cache;
    int m_noted = 0;
};

// The path of the probe's cache in the workspace's data folder.
QString videoFactsFile(const Workspace &workspace);

} // namespace tessaly
