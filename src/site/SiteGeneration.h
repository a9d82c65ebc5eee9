#pragma once

#include "catalogue/ProjectList.h"
#include "files/NaturalOrder.h"
#include "files/Outcome.h"
#include "site/RunLog.h"
#include "site/RunReport.h"
#include "site/Style.h"
#include "workspace/Workspace.h"

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
class VideoCheck;

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

// "生成整站内容", which rebuilds `Web` from the project list and publishes
// it, or "更新本集内容", which rewrites every play page, leaves the index
// page alone and publishes only the selected project; prepared before it
// starts. It holds copies of everything the work reads, so `run` may go on
// another thread while the list changes, and it never shows a box.
class SiteRun
{
public:
    enum class Kind
    {
        WholeSite,
        ProjectUpdate
    };

    // The style load comes first; `templates` are what it left. Reads the
    // inputs; refuses with "没有内容!" on an empty list.
    static files::Outcome<SiteRun> prepareWholeSite(const Workspace &workspace, const ProjectList &projects,
                                                    const WorkingTemplates &templates);
    // `row` is 0-based, -1 when nothing is selected. Refuses without a word
    // on an empty list, with "没有内容!" when nothing is selected, and when
    // the selected project's name cannot be a file name.
    static files::Outcome<SiteRun> prepareUpdate(const Workspace &workspace, const ProjectList &projects,
                                                 const WorkingTemplates &templates, int row);

    void setClock(RunClock clock) { m_clock = std::move(clock); }
    // Where the pages take their episodes' facts from; by default the run's
    // own check of the videos. The provider outlives the run.
    void setEpisodeFacts(const EpisodeFactsProvider *facts) { m_facts = facts; }
    // Asks the web server after publishing; without one only a `file:`
    // site link is checked. It must take calls from the run's thread.
    void setServerProbe(ServerProbe *probe) { m_probe = probe; }
    // What the run log repeats before this run's lines.
    void setEarlierLines(QStringList lines) { m_earlierLines = std::move(lines); }

    // From the first line through the closing step. It touches only the
    // files and the sink. Set from another thread, `stop` ends the run
    // before the next project (a publish once begun is finished).
    RunOutcome run(ProgressSink &sink, const std::atomic<bool> *stop = nullptr) const;

private:
    SiteRun(Kind kind, const Workspace &workspace, const ProjectList &projects,
            const WorkingTemplates &templates, RunInputs inputs, int row);

    RunEnding runWholeSite(RunReport &report, VideoCheck &videos, const std::atomic<bool> *stop) const;
    RunEnding runUpdate(RunReport &report, VideoCheck &videos, const std::atomic<bool> *stop) const;
    // Empties `Web/Data` but for the pages kept; removes the index page.
    void clearCache(const OutputFolders &output, RunReport &report, const QSet<QByteArray> &keptPages) const;
    // Whether the index page of these projects is all code page 936, asked
    // before its first bytes are written.
    bool indexFitsCodePage936(const ProjectPages &pages, const QList<ProjectSource> &sources) const;

    Kind m_kind;
    Workspace m_workspace;
    ProjectList m_projects;
    WorkingTemplates m_templates;
    RunInputs m_inputs;
    int m_row;
    RunClock m_clock;
    const EpisodeFactsProvider *m_facts = nullptr;
    ServerProbe *m_probe = nullptr;
    QStringList m_earlierLines;
};

// After a run that published: the server check's line, when it misses.
void checkServer(const Workspace &workspace, ServerProbe *probe, const FirstEpisode &episode,
                 RunReport &report);

} // namespace tessaly
