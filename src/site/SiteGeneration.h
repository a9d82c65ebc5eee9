#pragma once

#include "files/NaturalOrder.h"
#include "site/RunLog.h"
#include "site/RunReport.h"
#include "site/Style.h"

#include <QByteArray>
#include <QSet>
#include <QStringList>
#include <atomic>
#include <optional>

namespace tessaly {

class EpisodeFactsProvider;
struct FirstEpisode;
class OutputFolders;
class ProgressSink;
class ServerProbe;
class ProjectPages;
struct ProjectSource;
class ProjectList;
class Workspace;

// Start-up's word on the files every run needs (the templates, `Style.ini`
// and `Setting.ini`): each one that cannot be read or decoded, or a missing
// template that cannot be written, as its path, CR LF, the reason; the
// texts joined by CR LF, empty when all is well.
QString unusableRunInputsText(const Workspace &workspace, const WorkingTemplates &templates);

// What every page of a run depends on, read before the run starts: the
// movie root, the order of episodes, and each input file that cannot be used.
struct RunInputs
{
    QString movieRoot;
    // The site folder, where the episodes' web copies lie.
    QString siteFolder;
    files::NameOrder episodeOrder = files::NameOrder::Natural;
    // `CheckVideos` in `Setting.ini`: "False" turns the check off.
    bool checkVideos = true;
    QList<InputFileFailure> failures;
};

// "生成整站内容": rebuilds `Web` from the project list, publishes it and
// closes with the run log. The caller runs the style load first and passes
// the working templates it left.
class SiteGeneration
{
public:
    SiteGeneration(const Workspace &workspace, const ProjectList &projects, const WorkingTemplates &templates,
                   ProgressSink &sink);

    void setClock(RunClock clock) { m_clock = std::move(clock); }
    // What the new page set's play pages say of each episode; by default
    // nothing is known (no durations, every episode plays). The provider
    // outlives the run.
    // Where the pages take their episodes' facts from; by default the run's
    // own check of the videos.
    void setEpisodeFacts(const EpisodeFactsProvider *facts) { m_facts = facts; }
    // Set from another thread to stop before the next project (a publish
    // once begun is finished).
    void setStopFlag(const std::atomic<bool> *stop) { m_stop = stop; }
    // Asks the web server after publishing; without one only a `file:`
    // site link is checked.
    void setServerProbe(ServerProbe *probe) { m_probe = probe; }
    // `prepare`, `generate` and the closing box.
    RunOutcome run();

    // The steps before the work: reads the inputs; on an empty list says
    // "没有内容!" and gives nothing.
    std::optional<RunInputs> prepare() const;
    // From the first line to the run log. It shows no box and touches only
    // the files and the sink, so a worker thread may run it on copies.
    RunOutcome generate(const RunInputs &inputs);

private:
    // Empties `Web/Data` but for the pages kept; removes the index page.
    void clearCache(const OutputFolders &output, RunReport &report, const QSet<QByteArray> &keptPages);
    bool stopAsked() const { return m_stop && m_stop->load(); }
    // Whether the index page of these projects is all code page 936, asked
    // before its first bytes are written.
    bool indexFitsCodePage936(const ProjectPages &pages, const QList<ProjectSource> &sources) const;

    const Workspace &m_workspace;
    const ProjectList &m_projects;
    const WorkingTemplates &m_templates;
    ProgressSink &m_sink;
    RunClock m_clock;
    const EpisodeFactsProvider *m_facts = nullptr;
    const std::atomic<bool> *m_stop = nullptr;
    ServerProbe *m_probe = nullptr;
};

// After a run that published: the server check's line, when it misses.
void checkServer(const Workspace &workspace, ServerProbe *probe, const FirstEpisode &episode,
                 RunReport &report);

// "更新本集内容": rewrites every play page, leaves the index page alone and
// publishes only the selected project.
class ProjectUpdate
{
public:
    ProjectUpdate(const Workspace &workspace, const ProjectList &projects, const WorkingTemplates &templates,
                  ProgressSink &sink);

    void setClock(RunClock clock) { m_clock = std::move(clock); }
    // Where the pages take their episodes' facts from; by default the run's
    // own check of the videos.
    void setEpisodeFacts(const EpisodeFactsProvider *facts) { m_facts = facts; }
    void setStopFlag(const std::atomic<bool> *stop) { m_stop = stop; }
    void setServerProbe(ServerProbe *probe) { m_probe = probe; }
    // `selectedRow` is 0-based; -1 when nothing is selected.
    RunOutcome run(int selectedRow);

    // Reads the inputs; stops silently on an empty list and with "没有内容!"
    // when nothing is selected, giving nothing.
    std::optional<RunInputs> prepare(int selectedRow) const;
    // As `SiteGeneration::generate`, for a row `prepare` accepted.
    RunOutcome generate(const RunInputs &inputs, int selectedRow);

private:
    bool stopAsked() const { return m_stop && m_stop->load(); }

    const Workspace &m_workspace;
    const ProjectList &m_projects;
    const WorkingTemplates &m_templates;
    ProgressSink &m_sink;
    RunClock m_clock;
    const EpisodeFactsProvider *m_facts = nullptr;
    const std::atomic<bool> *m_stop = nullptr;
    ServerProbe *m_probe = nullptr;
};

} // namespace tessaly
