#include "covers/VideoCovers.h"

#include "catalogue/ProjectList.h"
#include "catalogue/ProjectRemoval.h"
#include "catalogue/ProjectSelection.h"
#include "covers/CoverTexts.h"
#include "files/FileServices.h"
#include "settings/RecordedPaths.h"
#include "site/DefaultCover.h"
#include "site/Progress.h"
#include "site/SiteTexts.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tessaly::covers {

namespace {

VideoCover failed(const QList<VideoCover::Failure> &failures)
{
    VideoCover cover;
    cover.failures = failures;
    QStringList parts;
    for (const VideoCover::Failure &failure : failures)
        parts.append(failure.text());
    cover.message = parts.join(QStringLiteral("\r\n"));
    return cover;
}

VideoCover failed(const QString &path, const QString &reason)
{
    return failed({{path, reason}});
}

VideoCover refusedName(const QString &project)
{
    VideoCover cover = failed(project, unusableProjectNameText(project));
    cover.message = cover.failures.first().reason;
    return cover;
}

VideoCover writeCover(const Workspace &workspace, const QString &project, const QByteArray &jpeg)
{
    const QString coverFile = workspace.coverFile(project);
    if (const files::Outcome<void> written = files::writeFileAtomically(coverFile, jpeg); !written)
        return failed(coverFile, written.failure().reason);
    VideoCover cover;
    cover.written = true;
    cover.coverFile = coverFile;
    return cover;
}

// The folder a project's episodes would be in, for a failure that has no
// video to name.
QString episodePlace(const Workspace &workspace, const ProjectDetails &details)
{
    return details.episodeFolder.isEmpty() ? workspace.projectSettingsFile(details.name)
                                           : details.episodeFolder;
}

// A project without episodes: the box says only that, the run's line names
// the folder.
VideoCover withoutEpisodes(const Workspace &workspace, const ProjectDetails &details)
{
    if (!details.usableFolder) {
        VideoCover cover = failed(details.episodeFolder, settings::unusableEpisodeFolderReason());
        cover.message = settings::unusableEpisodeFolderText(details.episodeFolder);
        return cover;
    }
    VideoCover cover = failed(episodePlace(workspace, details), texts::noEpisodes());
    cover.message = texts::noEpisodes();
    return cover;
}

// The path of the episode at `index` as the file system's bytes: its name
// as the folder holds it, which a name that is not UTF-8 needs.
QByteArray videoBytes(const ProjectDetails &details, qsizetype index)
{
    QByteArray folder = QFile::encodeName(details.episodeFolder);
    if (!folder.endsWith('/'))
        folder.append('/');
    return folder + details.encodedEpisodes.at(index);
}

} // namespace

VideoCover grabProjectCover(const Workspace &workspace, const QString &project, const GrabLimits &limits)
{
    if (!isUsableProjectName(project))
        return refusedName(project);
    const ProjectDetails details = readProjectDetails(workspace, project);
    if (details.episodes.isEmpty())
        return withoutEpisodes(workspace, details);
    const CoverSize size = coverSize(workspace);
    const auto deadline = std::chrono::steady_clock::now() + limits.timeLimit;
    QList<VideoCover::Failure> failures;
    for (qsizetype i = 0; i < std::min<qsizetype>(details.episodes.size(), MostEpisodesTried); ++i) {
        const QString video = files::joinPath(details.episodeFolder, details.episodes.at(i));
        GrabLimits left = limits;
        left.timeLimit =
            std::max(std::chrono::milliseconds(0), std::chrono::duration_cast<std::chrono::milliseconds>(
                                                       deadline - std::chrono::steady_clock::now()));
        const FrameGrab grab = grabCoverFrame(videoBytes(details, i), size, left);
        if (grab.ok())
            return writeCover(workspace, project, grab.jpeg);
        failures.append({video, grab.reason()});
        if (grab.failure == FrameGrab::Failure::Cancelled || grab.failure == FrameGrab::Failure::TimedOut ||
            grab.failure == FrameGrab::Failure::NoLibraries)
            break;
    }
    return failed(failures);
}

VideoCover grabEpisodeCover(const Workspace &workspace, const QString &project, const QString &episode,
                            const GrabLimits &limits)
{
    if (!isUsableProjectName(project))
        return refusedName(project);
    const ProjectDetails details = readProjectDetails(workspace, project);
    if (details.episodes.isEmpty())
        return withoutEpisodes(workspace, details);
    const QString video = files::joinPath(details.episodeFolder, episode);
    const qsizetype index = details.episodes.indexOf(episode);
    if (index < 0)
        return failed(video, texts::noSuchEpisode());
    const FrameGrab grab = grabCoverFrame(videoBytes(details, index), coverSize(workspace), limits);
    if (!grab.ok())
        return failed(video, grab.reason());
    return writeCover(workspace, project, grab.jpeg);
}

std::optional<QString> findEpisode(const QStringList &episodes, const QString &nameOrNumber)
{
    if (episodes.contains(nameOrNumber))
        return nameOrNumber;
    bool isNumber = false;
    const qsizetype number = nameOrNumber.toLongLong(&isNumber);
    if (isNumber && number >= 1 && number <= episodes.size())
        return episodes.at(number - 1);
    return std::nullopt;
}

bool lacksOwnCover(const Workspace &workspace, const QString &project)
{
    const QString coverFile = workspace.coverFile(project);
    if (!files::plainFileExists(coverFile))
        return true;
    if (isEarlierDefaultCoverFile(coverFile))
        return true;
    const QByteArray builtIn = defaultCoverBytes();
    // Only a file of the built-in picture's size can be it; nothing else is read.
    if (QFileInfo(coverFile).size() != builtIn.size())
        return false;
    const files::Outcome<QByteArray> bytes = files::readFileBytes(coverFile);
    return bytes && *bytes == builtIn;
}

MissingCoversRun::MissingCoversRun(const Workspace &workspace, QStringList projects, ProgressSink &sink)
    : m_workspace(workspace), m_projects(std::move(projects)), m_sink(sink)
{}

RunOutcome MissingCoversRun::run()
{
    RunReport report(m_sink);
    GrabLimits limits;
    limits.cancelled = m_cancelled;
    const int total = int(m_projects.size());
    int done = 0;
    report.progress(done, total);
    for (const QString &project : std::as_const(m_projects)) {
        if (m_cancelled && m_cancelled->load())
            break;
        if (!isUsableProjectName(project)) {
            report.unusableName(project);
        } else if (lacksOwnCover(m_workspace, project)) {
            report.step(texts::grabbingCover(project));
            const VideoCover cover = grabProjectCover(m_workspace, project, limits);
            for (const VideoCover::Failure &failure : cover.failures)
                report.failure(texts::cannotGrabCover(failure.path, failure.reason));
        }
        report.progress(++done, total);
    }

    RunEnding ending;
    ending.boxText =
        report.errors() == 0 ? texts::coversGrabbed() : texts::coversGrabbedWithErrors(report.errors());
    ending.lastLine = ending.boxText;
    ending.lastIcon = report.errors() == 0 ? ProgressIcon::Done : ProgressIcon::Failure;
    return closeRun(m_workspace, report, ending, m_clock);
}

} // namespace tessaly::covers
