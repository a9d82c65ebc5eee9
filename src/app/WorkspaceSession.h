#pragma once

#include "catalogue/ProjectCreation.h"
#include "catalogue/ProjectList.h"
#include "media/EpisodeCheck.h"
#include "site/RunReport.h"
#include "site/SiteGeneration.h"
#include "site/Style.h"
#include "site/WebCopyConversion.h"
#include "workspace/Workspace.h"
#include "workspace/WorkspaceLock.h"

#include <QString>
#include <atomic>
#include <optional>

namespace tessaly {

struct EditedSettings;
class ProgressSink;
class ServerProbe;

// Told of every change of the session's project list, around the change:
// the list holds the old rows between a `begin` call and its `end`, the new
// rows after it. A command reports its net change as one of these, or none.
class ProjectListObserver
{
public:
    virtual ~ProjectListObserver() = default;
    virtual void beginInsertRow(int row) = 0;
    virtual void endInsertRow() = 0;
    virtual void beginRemoveRow(int row) = 0;
    virtual void endRemoveRow() = 0;
    // The name at `from` ends up at `to`; the rows between shift by one.
    virtual void beginMoveRow(int from, int to) = 0;
    virtual void endMoveRow() = 0;
    // The name at `row` is another one now; no row moved.
    virtual void rowChanged(int row) = 0;
};

// What a command did. Refusals and failures have already been said through
// the message seam, which each face answers its own way (boxes in the
// window, standard error on the command line), so both faces say the same.
struct CommandOutcome
{
    enum class Status
    {
        Done,
        Ignored, // nothing to do, nothing said
        Refused, // nothing changed, and the user was told why
        Failed,  // tried and failed part way; the user was told what
    };
    Status status = Status::Done;
    // The row the command's project holds afterwards (0-based), or -1.
    int row = -1;

    bool done() const { return status == Status::Done; }
    static CommandOutcome of(Status status, int row = -1) { return CommandOutcome{status, row}; }
};

// What `check` found: each episode of the projects it looked at, in list
// order and episode order. A project whose episodes could not be listed has
// been said through the message seam; the command then failed, but the
// other projects' episodes are here.
struct VideoCheckOutcome
{
    struct Episode
    {
        QString project;
        QString fileName;
        media::EpisodeCheck check;
    };
    CommandOutcome::Status status = CommandOutcome::Status::Done;
    QList<Episode> episodes;
};

// Shows a long run's closing box, when it has one: every face ends a run so.
void showClosingBox(const RunOutcome &outcome);

// One open workspace: its paths, its lock, its project list and the working
// templates, and every command that changes them. The window and
// `tessaly-cli` both work through one of these, so a command is written
// once and both faces leave the same files, list and messages behind.
class WorkspaceSession
{
public:
    enum class Access
    {
        Change,
        // Reads the list only: nothing is created, and a workspace where no
        // lock file can be made is still read (a holder still keeps it out).
        ReadOnly,
    };
    enum class MissingFolder
    {
        Make,   // a folder named on the command line may be new
        Refuse, // the window opens only a folder that exists
    };
    enum class Move
    {
        Up,
        Down,
        ToFirst,
        ToLast,
    };

    explicit WorkspaceSession(const QString &root);
    WorkspaceSession(const WorkspaceSession &) = delete;
    WorkspaceSession &operator=(const WorkspaceSession &) = delete;

    // Start-up, in one order for both faces: the workspace folder, the lock,
    // the start-up folders, the project list, the style load. False when the
    // workspace cannot be used; a folder that cannot be made, a list not
    // read whole or unusable run inputs are said and leave it open.
    bool open(Access access, MissingFolder missing);

    // The page set a workspace made from nothing starts with (`Pageset`
    // of `Style.ini`).
    static QString firstPageset();

    // Before another process opens this workspace in this one's place: the
    // lock goes, and nothing may change the workspace until it is taken
    // again (saying why when it cannot be).
    void releaseLock();
    bool takeLockAgain();

    const Workspace &workspace() const { return m_workspace; }
    const ProjectList &projects() const { return m_projects; }
    const WorkingTemplates &templates() const { return m_templates; }
    // The first row holding `name`, or -1.
    int rowOf(const QString &name) const { return m_projects.indexOf(name); }

    void setObserver(ProjectListObserver *observer) { m_observer = observer; }
    // What asks the web server after a run that publishes; it must take
    // calls from the thread a run works on.
    void setServerProbe(ServerProbe *probe) { m_probe = probe; }
    ServerProbe *serverProbe() const { return m_probe; }

    // "添加" and `add`: the new project goes to row 0.
    CommandOutcome add(const NewProject &project);
    // Delete and `remove`, once the caller has asked; says "已删除" when done.
    CommandOutcome remove(int row);
    CommandOutcome move(int row, Move move);
    // Moves the project at `row` so that it ends up at `target`.
    CommandOutcome moveTo(int row, int target);
    // "重命名" and `rename`: the project at `row` and its files take
    // `newName`; the row stays where it is.
    CommandOutcome rename(int row, const QString &newName);

    // Records a project's episode folder in its `<name>.ini`.
    CommandOutcome setEpisodeFolder(const QString &project, const QString &folder);
    // Copies `picture` over the project's cover; the caller checks first that
    // it is a picture at all.
    CommandOutcome setCover(const QString &project, const QString &picture);
    CommandOutcome saveSettings(const EditedSettings &settings);

    // The style load with its messages, as before every run.
    void loadStyle();
    // The steps before a run, with their messages: style load, movie root,
    // empty list, and for an update the selected row (-1 for none). Nothing
    // when the run is not to go on. The run asks the session's server probe.
    std::optional<SiteRun> prepareGeneration();
    std::optional<SiteRun> prepareUpdate(int row);

    // The same runs whole, on this thread: prepared, run and its closing
    // box shown, as one command.
    RunOutcome generate(ProgressSink &sink);
    RunOutcome update(int row, ProgressSink &sink);

    // `check`: what browsers make of each episode of the project at `row`,
    // or of every project without one, through the workspace's cache of
    // probed files, which keeps what was probed. It checks whatever
    // `CheckVideos` says: that setting is for runs and the window.
    VideoCheckOutcome checkVideos(std::optional<int> row);
    // "转换为网页格式" of every project (`project` empty), of one, or of one
    // of its episodes, given by file name or by number from 1. Nothing,
    // after saying why, when it cannot begin.
    std::optional<WebCopyConversion> prepareConversion(const QString &project = {},
                                                       const QString &episode = {}) const;

    // "清空缓存文件" and "清空日志", once the caller has asked.
    CommandOutcome clearCache();
    CommandOutcome clearLogs();

private:
    // What a command did to the rows, as the command itself reports it:
    // only it knows which of two rows holding one name it acted on.
    struct ListChange
    {
        enum class Kind
        {
            None,
            Insert,
            Remove,
            Move
        };
        Kind kind = Kind::None;
        int row = -1;
        int to = -1;

        static ListChange inserted(int row) { return {Kind::Insert, row, -1}; }
        static ListChange removed(int row) { return {Kind::Remove, row, -1}; }
        static ListChange moved(int from, int to) { return {Kind::Move, from, to}; }
    };
    // Runs `command` on a copy of the list and takes over the copy, telling
    // the observer the change the command returns.
    template <typename Command> void changeList(Command command);
    void takeOver(ProjectList changed, ListChange change);
    // The default `Style.ini` of "布局设计" with the first page set, unless
    // one is there already; a failure is said with its path.
    void writeFirstStyle();

    Workspace m_workspace;
    WorkspaceLock m_lock;
    ProjectList m_projects;
    WorkingTemplates m_templates;
    ProjectListObserver *m_observer = nullptr;
    ServerProbe *m_probe = nullptr;
};

} // namespace tessaly
