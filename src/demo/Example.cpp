#include "demo/Example.h"

#include "catalogue/ProjectCreation.h"
#include "catalogue/ProjectList.h"
#include "covers/VideoCovers.h"
#include "demo/DemoTexts.h"
#include "demo/EpisodeFrames.h"
#include "demo/ExampleVideo.h"
#include "files/BuildFolder.h"
#include "files/FileServices.h"
#include "files/FileTexts.h"
#include "files/Reasons.h"
#include "files/TextFile.h"
#include "platform/Messages.h"
#include "settings/SettingsFiles.h"
#include "site/BuiltinTemplates.h"
#include "site/Progress.h"
#include "site/SiteGeneration.h"
#include "site/Style.h"
#include "site/StyleValues.h"
#include "workspace/Workspace.h"
#include "workspace/WorkspaceLock.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <csignal>

namespace tessaly::demo {

namespace {

// The hidden build folders beside DIR: the process id and six letters follow.
const QByteArray BuildPrefix = QByteArrayLiteral(".tessaly-demo-");

// A film with one episode and a series whose two seasons are two projects.
// Names hold Chinese characters, blanks and apostrophes on purpose: the
// example shows that such names work everywhere, pages and scripts alike.
struct ExampleProject
{
    QString name;
    QString folder; // below the movie root
    QString emblem; // drawn large in the middle of every frame, and so on the cover
    QColor tint;
    QStringList episodes;
};

QList<ExampleProject> exampleProjects()
{
    const QString series = QStringLiteral("剧集/星河 Captain's 日记/");
    return {
        {QStringLiteral("月光 Rider's 归途"),
         QStringLiteral("电影/月光 Rider's 归途"),
         QStringLiteral("月光"),
         QColor(0x2a, 0x5c, 0xaa),
         {QStringLiteral("月光 Rider's 归途.mp4")}},
        {QStringLiteral("星河 Captain's 日记 第一季"),
         series + QStringLiteral("第一季 Captain's Log"),
         QStringLiteral("星河"),
         QColor(0x1f, 0x8a, 0x70),
         {QStringLiteral("第1集 Cap'n 启航.mp4"), QStringLiteral("第2集 Cap'n 迷航.mp4"),
          QStringLiteral("第3集 Cap'n 归航.mp4")}},
        {QStringLiteral("星河 Captain's 日记 第二季"),
         series + QStringLiteral("第二季 Captain's Log"),
         QStringLiteral("星河"),
         QColor(0x7a, 0x3f, 0xa0),
         {QStringLiteral("第1集 Cap'n 星门.mp4"), QStringLiteral("第2集 Cap'n 暗流.mp4"),
          QStringLiteral("第3集 Cap'n 黎明.mp4")}},
    };
}

// Ctrl+C, a hang-up, a closed output or a kill while the example is made:
// the work stops at the next frame or step, the build folder is removed,
// and then the process ends as the signal asked. A process killed outright
// leaves its build folder to the next run.
class Interruption
{
public:
    Interruption()
    {
        s_signal = 0;
        s_stop = false;
        struct sigaction action = {};
        action.sa_handler = [](int signal) {
            s_signal = signal;
            s_stop = true;
        };
        sigemptyset(&action.sa_mask);
        for (int index = 0; index < SignalCount; ++index) {
            ::sigaction(Signals[index], &action, &m_previous[index]);
            // A signal the caller chose to ignore (nohup, say) stays ignored.
            if (m_previous[index].sa_handler == SIG_IGN)
                ::sigaction(Signals[index], &m_previous[index], nullptr);
        }
    }
    ~Interruption()
    {
        for (int index = 0; index < SignalCount; ++index)
            ::sigaction(Signals[index], &m_previous[index], nullptr);
        if (s_signal != 0)
            std::raise(s_signal);
    }
    Interruption(const Interruption &) = delete;
    Interruption &operator=(const Interruption &) = delete;

    static const std::atomic<bool> *flag() { return &s_stop; }
    static bool happened() { return s_stop; }

private:
    static constexpr int SignalCount = 4;
    // A closed pipe too: the progress lines may go to one.
    static constexpr int Signals[SignalCount] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
    static inline volatile std::sig_atomic_t s_signal = 0;
    static inline std::atomic<bool> s_stop = false;
    struct sigaction m_previous[SignalCount] = {};
};

bool refuse(const QString &path, const QString &reason)
{
    Messages::error(Messages::withPath(path, reason));
    return false;
}

// The example's own folders, below `root`, which is where DIR is now
// (while it is being made) or will be (in what the files record).
struct Places
{
    explicit Places(const QString &root) : root(root) {}

    QString site() const { return root + QStringLiteral("/site"); }
    QString movieRoot() const { return site() + QStringLiteral("/movie"); }
    QString workspace() const { return root + QStringLiteral("/workspace"); }
    QString episodeFolder(const ExampleProject &project) const { return movieRoot() + u'/' + project.folder; }

    QString root;
};

// `Setting.ini` and every project's `File`, all absolute below `places`.
bool recordPaths(const Workspace &workspace, const Places &places)
{
    SiteSettings site;
    site.movieFile = places.movieRoot();
    site.webFile = places.site();
    site.webLink =
        QUrl::fromLocalFile(places.site() + QStringLiteral("/index.html")).toString(QUrl::FullyEncoded);
    site.webUpdate = QStringLiteral("True");
    if (const files::Outcome<void> written = site.write(workspace); !written)
        return refuse(written.failure().path, written.failure().reason);
    for (const ExampleProject &project : exampleProjects()) {
        if (const files::Outcome<void> set =
                settings::setEpisodeFolder(workspace, project.name, places.episodeFolder(project));
            !set)
            return refuse(set.failure().path, set.failure().reason);
    }
    return true;
}

// Makes the folder and those above it up to `root`, which exists; mkpath
// keeps no reason.
bool makeFoldersBelow(const QString &root, const QString &folder)
{
    QString path = root;
    for (const QString &name : folder.mid(root.size()).split(u'/', Qt::SkipEmptyParts)) {
        path += u'/' + name;
        if (files::folderExists(path))
            continue;
        if (const files::Outcome<void> made = files::makeFolder(path); !made)
            return refuse(path, made.failure().reason);
    }
    return true;
}

bool makeVideos(const Places &places, ProgressSink &sink)
{
    const VideoShape shape;
    for (const ExampleProject &project : exampleProjects()) {
        const QString folder = places.episodeFolder(project);
        if (!makeFoldersBelow(places.root, folder))
            return false;
        for (int number = 1; number <= project.episodes.size(); ++number) {
            const QString episode = project.episodes.at(number - 1);
            sink.add({texts::makingVideo() + project.folder + u'/' + episode, ProgressIcon::Step});
            const EpisodeFrames frames(project.emblem, project.name, number, project.tint, shape);
            const QString file = folder + u'/' + episode;
            if (const files::Outcome<void> written = writeExampleVideo(
                    file, shape, [&frames](int index) { return frames.frame(index); }, Interruption::flag());
                !written)
                return Interruption::happened() ? false : refuse(file, written.failure().reason);
        }
    }
    return true;
}

// The workspace with its list, style, settings and covers, then one
// whole-site run that publishes the site.
bool makeWorkspaceAndSite(const Places &building, ProgressSink &sink)
{
    const Workspace workspace(building.workspace());
    if (!makeFoldersBelow(building.root, workspace.root()))
        return false;
    WorkspaceLock lock(workspace);
    if (const files::Outcome<void> locked = lock.acquire(); !locked) {
        Messages::error(locked.failure().text());
        return false;
    }
    const QStringList folderFailures = workspace.createFolders();
    if (!folderFailures.isEmpty()) {
        Messages::error(folderFailures.first());
        return false;
    }

    // The example shows the pages made for phones and large libraries.
    if (const files::Outcome<void> saved =
            style_values::save(workspace, style_values::defaults(), {PageSet::Modern, {}});
        !saved)
        return refuse(saved.failure().path, saved.failure().reason);
    // Opened from files, a play page finds the index page one folder up;
    // the built-in link is right only behind a web server.
    QString playPage = builtin::playPage();
    playPage.replace(QStringLiteral("\"../../index.html\""), QStringLiteral("\"../index.html\""));
    const QString pageStyle = workspace.styleTemplate(QString::fromLatin1(PageStyleFile));
    if (const files::Outcome<void> written = text::writeTextFile(pageStyle, playPage); !written)
        return refuse(pageStyle, written.failure().reason);
    if (!recordPaths(workspace, building))
        return false;

    ProjectList projects;
    QList<ExampleProject> listed = exampleProjects();
    // Each new project goes to the top of the list.
    std::reverse(listed.begin(), listed.end());
    for (const ExampleProject &project : listed) {
        const ProjectCreation creation =
            createProject(workspace, projects, {project.name, building.episodeFolder(project)});
        if (creation.result != CreationResult::Created) {
            if (!creation.failures.isEmpty())
                Messages::error(creation.failureText());
            return false;
        }
    }

    for (const QString &name : projects.names()) {
        sink.add({texts::takingCover() + name, ProgressIcon::Step});
        covers::GrabLimits limits;
        limits.cancelled = Interruption::flag();
        const covers::VideoCover cover = covers::grabProjectCover(workspace, name, limits);
        if (Interruption::happened())
            return false;
        if (!cover.written) {
            Messages::error(cover.message);
            return false;
        }
    }

    // As in a session: the start-up load writes the button and script
    // templates that are missing, the run's own load reads them.
    const auto load = [&](const WorkingTemplates &previous) {
        WorkingTemplates loaded = UpdateStyle(workspace, previous);
        if (loaded.box)
            Messages::show(*loaded.box);
        return loaded;
    };
    const WorkingTemplates templates = load(load(WorkingTemplates{}));
    files::Outcome<SiteRun> run = SiteRun::prepareWholeSite(workspace, projects, templates);
    if (!run) {
        Messages::error(run.failure().text());
        return false;
    }
    sink.beginWholeSiteRun();
    const RunOutcome outcome = run->run(sink);
    if (outcome.box)
        Messages::show(*outcome.box);
    sink.endWholeSiteRun();
    return outcome.succeeded();
}

// While the example is made, a message that names a path inside the build
// folder names the folder the example is made in instead: the build folder
// is gone by the time the message is read, and what failed there (a full
// disk, say) is a matter of that folder's file system.
class BuildMessages : public MessagePresenter
{
public:
    BuildMessages(QString buildFolder, QString parent)
        : m_buildFolder(std::move(buildFolder)), m_parent(std::move(parent)),
          m_previous(Messages::presenter())
    {
        Messages::setPresenter(this);
    }
    ~BuildMessages() override { Messages::setPresenter(m_previous); }
    BuildMessages(const BuildMessages &) = delete;
    BuildMessages &operator=(const BuildMessages &) = delete;

    MessageAnswer present(const Message &message) override
    {
        Message named = message;
        named.text = withoutBuildFolder(message.text);
        return m_previous->present(named);
    }

private:
    // A path ends at the end of its line or at the ": " before a reason;
    // the example's own names hold neither.
    QString withoutBuildFolder(const QString &text) const
    {
        QStringList lines = text.split(QStringLiteral("\r\n"));
        for (QString &line : lines) {
            for (qsizetype at = line.indexOf(m_buildFolder); at >= 0; at = line.indexOf(m_buildFolder, at)) {
                const qsizetype reason = line.indexOf(QStringLiteral(": "), at);
                const qsizetype end = reason < 0 ? line.size() : reason;
                line.replace(at, end - at, m_parent);
                at += m_parent.size();
            }
        }
        return lines.join(QStringLiteral("\r\n"));
    }

    QString m_buildFolder;
    QString m_parent;
    MessagePresenter *m_previous;
};

} // namespace

bool makeExample(const QString &folder, ProgressSink &sink)
{
    const QString target = files::withoutTrailingSeparators(QDir::cleanPath(QDir(folder).absolutePath()));
    const QFileInfo targetInfo(target);
    if (targetInfo.isSymLink() || (targetInfo.exists() && !targetInfo.isDir()))
        return refuse(target, texts::fileInTheWay());
    if (targetInfo.exists() &&
        !QDir(target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return refuse(target, texts::folderNotEmpty());
    const QString parent = targetInfo.absolutePath();
    if (!files::folderExists(parent))
        return refuse(parent, files::texts::folderMissing());

    // A build folder whose maker was killed before it could remove it goes
    // now; one that another run is still making stays.
    for (const QString &leftover : files::BuildFolder::removeAbandoned(parent, BuildPrefix))
        sink.add({texts::removedLeftover() + leftover, ProgressIcon::Step});

    // Declared first, so the build folder is gone before a signal that came
    // meanwhile ends the process.
    const Interruption interruption;
    // Beside DIR, so the last step is a rename within one file system.
    files::BuildFolder building(parent, BuildPrefix);
    if (!building.isValid())
        return refuse(parent, building.error());
    const BuildMessages messages(building.path(), parent);
    const Places built(building.path());
    if (!makeVideos(built, sink) || !makeWorkspaceAndSite(built, sink) || Interruption::happened())
        return false;
    // The run wrote the build folder; what stays records DIR itself.
    if (!recordPaths(Workspace(built.workspace()), Places(target)))
        return false;

    // A signal during the last steps still leaves nothing behind.
    if (Interruption::happened())
        return false;
    // The rename replaces DIR only while it is an empty folder: anything put
    // there meanwhile makes it fail, and then the build folder goes.
    if (const files::Outcome<void> renamed = building.renameTo(targetInfo.fileName()); !renamed)
        return refuse(target, renamed.failure().reason);
    sink.add({texts::ready() + Places(target).workspace(), ProgressIcon::Done});
    return true;
}

} // namespace tessaly::demo
