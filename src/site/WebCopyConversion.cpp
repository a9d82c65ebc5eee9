#include "site/WebCopyConversion.h"

#include "catalogue/Episodes.h"
#include "catalogue/ProjectList.h"
#include "catalogue/ProjectRemoval.h"
#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "files/Reasons.h"
#include "media/Verdict.h"
#include "settings/RecordedPaths.h"
#include "settings/SettingsFiles.h"
#include "site/ProjectPages.h"
#include "site/PublishedRecord.h"
#include "site/SitePublisher.h"
#include "site/SiteTexts.h"
#include "site/VideoCheck.h"
#include "site/WebCopyTexts.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>

namespace tessaly {

namespace {

namespace texts = webcopy::texts;

QString howMade(media::WebCopyKind kind)
{
    switch (kind) {
    case media::WebCopyKind::NotNeeded:
    case media::WebCopyKind::StreamCopy:
        return texts::copied();
    case media::WebCopyKind::NewSound:
        return texts::newSound();
    case media::WebCopyKind::Everything:
        return texts::encoded();
    case media::WebCopyKind::Impossible:
        break;
    }
    return {};
}

// The run's share done, in thousandths, told only when it changes.
class ShareOfRun
{
public:
    ShareOfRun(RunReport &report, double total) : m_report(report), m_total(std::max(total, 1.0)) {}

    void reach(double done)
    {
        const int thousandths = std::clamp(int(done / m_total * 1000), 0, 1000);
        if (thousandths == m_told)
            return;
        m_told = thousandths;
        m_report.progress(thousandths, 1000);
    }

private:
    RunReport &m_report;
    double m_total;
    int m_told = -1;
};

} // namespace

WebCopyConversion::WebCopyConversion(Workspace workspace, QStringList projects, Choice choice)
    : m_workspace(std::move(workspace)), m_projects(std::move(projects)), m_choice(std::move(choice))
{}

files::Outcome<WebCopyConversion> WebCopyConversion::prepare(const Workspace &workspace,
                                                             const QStringList &projects, Choice choice)
{
    if (projects.isEmpty() || (!choice.project.isEmpty() && !projects.contains(choice.project)))
        return files::Failure{{}, QStringLiteral("没有内容!")};
    if (!choice.project.isEmpty() && !isUsableProjectName(choice.project))
        return files::Failure{{}, unusableProjectNameText(choice.project)};
    const SiteSettings settings = SiteSettings::read(workspace);
    if (settings.webFile.trimmed().isEmpty())
        return files::Failure{{}, texts::noSiteFolder()};
    // The site folder is judged as written: a copy must never land among
    // the films, not even when the site folder is missing now.
    if (webcopy::siteLiesInMovies(settings.webFile, settings.movieRoot()))
        return files::Failure{{}, texts::siteInsideMovies()};
    if (!files::folderExists(settings.webFile))
        return files::Failure{settings.webFile, files::reasonFor(ENOENT)};
    WebCopyConversion conversion(workspace, projects, std::move(choice));
    conversion.m_siteFolder = settings.webFile;
    conversion.m_movieRoot = settings.movieRoot();
    conversion.m_order = settings::episodeOrder(workspace);
    return conversion;
}

void WebCopyConversion::plan(const std::atomic<bool> *stop)
{
    m_items.clear();
    m_problems.clear();
    m_summary = {};
    media::FactsCache cache(videoFactsFile(m_workspace));
    QStringList names = m_projects;
    if (!m_choice.project.isEmpty())
        names = QStringList{m_choice.project};
    for (const ProjectSource &source : readProjectSources(m_workspace, names)) {
        if (stop && stop->load())
            break;
        if (!source.usableName) {
            m_problems.append(unusableProjectNameText(source.name));
        } else if (!source.unreadableReason.isEmpty()) {
            m_problems.append(site::texts::cannotRead(source.settingsFile, source.unreadableReason));
        } else if (!source.usableFolder) {
            m_problems.append(settings::unusableEpisodeFolderText(source.episodeFolder));
        } else if (!source.folderReason.isEmpty()) {
            m_problems.append(site::texts::cannotRead(source.episodeFolder, source.folderReason));
        } else if (!source.episodeFolder.isEmpty()) {
            const EpisodeListing listing = listEpisodes(source.episodeFolder, m_order);
            if (!listing.ok())
                m_problems.append(site::texts::cannotRead(
                    source.episodeFolder, listing.isFolder ? listing.error : files::reasonFor(ENOENT)));
            else
                planProject(source.name, source.episodeFolder, listing.episodes, cache, stop);
        }
    }
    // A cache that cannot be written only costs the next look its time.
    static_cast<void>(cache.save());
}

void WebCopyConversion::planProject(const QString &project, const QString &episodeFolder,
                                    const QStringList &episodes, media::FactsCache &cache,
                                    const std::atomic<bool> *stop)
{
    QStringList chosen = episodes;
    if (!m_choice.episode.isEmpty()) {
        if (!episodes.contains(m_choice.episode)) {
            m_problems.append(texts::cannotConvert(project, m_choice.episode,
                                                   files::joinPath(episodeFolder, m_choice.episode),
                                                   files::reasonFor(ENOENT)));
            return;
        }
        chosen = QStringList{m_choice.episode};
    }
    for (const QString &episode : std::as_const(chosen)) {
        if (stop && stop->load())
            return;
        const QString original = files::joinPath(episodeFolder, episode);
        const media::MediaFacts facts = cache.facts(original);
        if (!media::verdictFor(facts).noted()) {
            m_single = Single::Plays;
            continue;
        }
        Item item{project, episode, episodeFolder, {}, {}, {}, 1};
        if (files::Outcome<WebCopyPlace> place =
                webcopy::placeOf(m_movieRoot, project, episodeFolder, episode))
            item.place = std::move(*place);
        else
            item.placeReason = place.failure().reason;
        if (item.place && !WebCopyLinks(m_siteFolder, m_movieRoot)
                               .upToDateCopy(project, episodeFolder, episode)
                               .isEmpty()) {
            m_single = Single::UpToDate;
            continue;
        }
        item.plan = media::planWebCopy(facts, QFileInfo(original).size());
        item.weight = std::max(facts.seconds.value_or(0), 1.0);
        if (item.place)
            m_summary.add(item.plan);
        m_items.append(item);
    }
}

QString WebCopyConversion::question() const
{
    const double gigabytes = double(m_summary.estimatedBytes) / (1024.0 * 1024 * 1024);
    return texts::question(m_summary.copies(), m_summary.streamCopies, m_summary.newSound,
                           m_summary.everything, QString::number(std::max(gigabytes, 0.1), 'f', 1),
                           std::max(1, int(std::ceil(m_summary.estimatedMinutes))));
}

WebCopyConversion::Readiness WebCopyConversion::mayStart() const
{
    if (m_items.isEmpty() && m_problems.isEmpty()) {
        const bool one = !m_choice.episode.isEmpty();
        return {Start::NothingToDo,
                site::texts::box(MessageIcon::Information,
                                 one && m_single == Single::Plays      ? texts::episodePlays()
                                 : one && m_single == Single::UpToDate ? texts::copyUpToDate()
                                                                       : texts::nothingToConvert())};
    }
    const QString shortage = media::spaceShortage(files::OpenFolder(m_siteFolder), m_summary.estimatedBytes);
    if (!shortage.isEmpty())
        return {Start::Refused, site::texts::box(MessageIcon::Error, shortage)};
    return {Start::Go, std::nullopt};
}

WebCopyConversion::Made WebCopyConversion::convert(const Item &item, const files::OpenFolder &site,
                                                   const files::OpenFolder &video, QSet<QByteArray> &entries,
                                                   RunReport &report, const std::function<bool()> &stopped,
                                                   const std::function<void(double)> &progress) const
{
    const QString original = files::joinPath(item.episodeFolder, item.episode);
    const auto fail = [&](const QString &path, const QString &reason) {
        report.failure(texts::cannotConvert(item.project, item.episode, path, reason));
        return Made::Failed;
    };
    if (!item.place)
        return fail(original, item.placeReason);
    const files::OpenFolder folder = webcopy::openFolderOf(video, *item.place, true);
    if (!folder.isOpen())
        return fail(folder.path(), folder.error());
    // Even through folders of its own, a copy never goes among the films.
    if (folder.liesWithin(files::OpenFolder(m_movieRoot)) ||
        folder.liesWithin(files::OpenFolder(item.episodeFolder)))
        return fail(folder.path(), texts::insideMovies());
    folder.removeTemporaries();

    // Entered before it is put in place, so that no copy is ever there
    // without the record naming it.
    const QByteArray entry = item.place->entry();
    const bool entered = !entries.contains(entry);
    if (entered) {
        entries.insert(entry);
        if (const files::Outcome<void> written = published::write(site, entries); !written) {
            entries.remove(entry);
            return fail(written.failure().path, written.failure().reason);
        }
    }
    const media::WebCopyOutcome made =
        media::makeWebCopy(original, folder, item.place->fileName, stopped, progress);
    if (!made.made() && entered && !folder.holdsEntry(files::OpenFolder::nameOf(item.place->fileName))) {
        entries.remove(entry);
        static_cast<void>(published::write(site, entries));
    }
    if (made.status == media::WebCopyOutcome::Status::Stopped)
        return Made::Stopped;
    if (!made.made())
        return fail(made.path, made.reason);
    return Made::Yes;
}

RunOutcome WebCopyConversion::run(ProgressSink &sink, const std::atomic<bool> *stop) const
{
    RunReport report(sink);
    for (const QString &problem : m_problems)
        report.failure(problem);
    double total = 0;
    for (const Item &item : m_items)
        total += item.weight;
    ShareOfRun share(report, total);
    share.reach(0);

    const files::OpenFolder site(m_siteFolder);
    // `Video` is the site's own folder, like every folder below it: a link
    // there is refused.
    const files::OpenFolder video = site.plainSubfolder(webcopy::videoFolderName(), true);
    if (!video.isOpen())
        report.cannotWrite(video.path(), video.error());
    // A site without a record gets one naming what publishing takes for
    // its own there, as publishing a project gives it.
    QSet<QByteArray> entries;
    if (video.isOpen()) {
        if (const std::optional<QSet<QByteArray>> record = published::read(site))
            entries = *record;
        else
            entries = SitePublisher(m_workspace, report)
                          .earlierEntries(std::nullopt, site.subfolder(QStringLiteral("Data"), false),
                                          site.subfolder(QStringLiteral("Image"), false));
    }

    const auto stopped = [stop] { return stop && stop->load(); };
    int made = 0;
    bool cut = false;
    double done = 0;
    for (const Item &item : m_items) {
        if (!video.isOpen())
            break;
        if (stopped()) {
            cut = true;
            break;
        }
        report.step(texts::converting(item.project, item.episode, howMade(item.plan.kind)));
        const auto progress = [&](double part) { share.reach(done + part * item.weight); };
        const Made result = convert(item, site, video, entries, report, stopped, progress);
        if (result == Made::Stopped) {
            cut = true;
            break;
        }
        if (result == Made::Yes)
            ++made;
        done += item.weight;
        share.reach(done);
    }
    if (cut)
        report.step(texts::stopped(), ProgressIcon::Failure);

    RunEnding ending;
    ending.stopped = cut;
    ending.boxText = cut                    ? texts::stoppedAfter(made)
                     : report.errors() == 0 ? texts::finished(made)
                                            : texts::finishedWithErrors(made, report.errors());
    ending.lastLine = ending.boxText;
    ending.lastIcon = report.errors() == 0 && !cut ? ProgressIcon::Done : ProgressIcon::Failure;
    return closeRun(m_workspace, report, ending, m_clock);
}

} // namespace tessaly
