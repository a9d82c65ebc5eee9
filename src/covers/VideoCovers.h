#pragma once

#include "covers/FrameGrabber.h"
#include "files/Outcome.h"
#include "site/RunLog.h"
#include "site/RunReport.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>

namespace tessaly {
class ProgressSink;
class Workspace;
} // namespace tessaly

namespace tessaly::covers {

// How taking a project's cover from one of its videos ended.
struct VideoCover
{
    using Failure = files::Failure;

    bool written = false;
    QString coverFile;
    // When nothing was written: what failed (each video tried, the episode
    // folder, the cover) and why; `message` is what the user reads in a box.
    QList<Failure> failures;
    QString message;
};

// Only this many episodes are tried: a folder of sound files or damaged
// videos is not read whole.
inline constexpr int MostEpisodesTried = 10;

// "从视频截取封面": the frame of the first episode, in episode order, that
// holds a decodable video, written over the project's cover atomically. A
// project without episodes says "该项目没有剧集!"; when no episode serves,
// each one tried is reported with its path and reason. The time limit is
// for the whole project, not for each episode. The old cover stays unless a
// new one was written whole.
VideoCover grabProjectCover(const Workspace &workspace, const QString &project,
                            const GrabLimits &limits = {});

// "用此集截取封面": the same from the named episode file alone.
VideoCover grabEpisodeCover(const Workspace &workspace, const QString &project, const QString &episode,
                            const GrabLimits &limits = {});

// An episode given on the command line, as its file name or its number
// from 1; nothing when the project has no such episode.
std::optional<QString> findEpisode(const QStringList &episodes, const QString &nameOrNumber);

// True when the project's cover is missing or is the built-in picture.
bool lacksOwnCover(const Workspace &workspace, const QString &project);

// "为无封面项目截取封面": takes a cover from the videos of every project
// whose cover is missing or the built-in one, in list order, reporting to
// the sink, and closes as every long run does. The caller shows the
// closing box, so the run can work off the window's thread.
class MissingCoversRun
{
public:
    MissingCoversRun(const Workspace &workspace, QStringList projects, ProgressSink &sink);

    void setClock(RunClock clock) { m_clock = std::move(clock); }
    // Set from another thread to end the run after the current file.
    void setCancelFlag(const std::atomic<bool> *cancelled) { m_cancelled = cancelled; }
    RunOutcome run();

private:
    const Workspace &m_workspace;
    QStringList m_projects;
    ProgressSink &m_sink;
    RunClock m_clock;
    const std::atomic<bool> *m_cancelled = nullptr;
};

} // namespace tessaly::covers
