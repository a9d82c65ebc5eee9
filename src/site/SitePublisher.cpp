#include "site/SitePublisher.h"

#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "settings/SettingsFiles.h"
#include "site/OutputFolders.h"
#include "site/PublishedRecord.h"
#include "site/RunReport.h"
#include "site/SiteTexts.h"
#include "workspace/Workspace.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <memory>

namespace tessaly {

namespace {

bool sameFolder(const QString &first, const QString &second)
{
    const QString a = QFileInfo(first).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(second).canonicalFilePath();
}

QString outsideSiteFolderText()
{
    return QStringLiteral("链接指向站点文件夹以外");
}

QString notOurIndexText()
{
    return QStringLiteral("站点文件夹中已有不是本程序生成的 index.html,未覆盖: ");
}

QString strangersText(qsizetype count)
{
    return QStringLiteral("站点文件夹中有 %1 个文件不是本程序发布的,未删除").arg(count);
}

const QByteArray dataFolder("Data");
const QByteArray imageFolder("Image");
const QByteArray subtitleFolder("Subtitle");

QByteArray subtitleFolderOf(const QByteArray &project)
{
    return published::entryOf(subtitleFolder, project);
}

// An index page with a link into `Data/` is one the program made: every
// index page it writes links to the play pages there.
bool linksIntoData(const QByteArray &page)
{
    static const QRegularExpression link(QStringLiteral(R"((["'=]\s*|\./)Data/)"));
    return QString::fromLatin1(page).contains(link);
}

// Shows the run as finished however the publish ended.
class FinishedProgress
{
public:
    FinishedProgress(RunReport &report, const int &total) : m_report(report), m_total(total) {}
    ~FinishedProgress() { m_report.progress(m_total, m_total); }

private:
    RunReport &m_report;
    const int &m_total;
};

} // namespace

SitePublisher::SitePublisher(const Workspace &workspace, RunReport &report)
    : m_workspace(workspace), m_report(report)
{}

QString SitePublisher::connect()
{
    m_report.step(QStringLiteral("更新站点内容..."));
    const SiteSettings settings = SiteSettings::read(m_workspace);
    if (!settings.publishes())
        return {};
    const QString site = settings.webFile;
    // Publishing the output folder onto itself would copy each file onto
    // itself; it is refused like an unreachable site folder.
    if (!files::folderExists(site) || sameFolder(site, m_workspace.web())) {
        m_report.step(QStringLiteral("站点路径连接失败...无法更新"), ProgressIcon::Failure);
        return {};
    }
    m_report.step(QStringLiteral("站点连接成功...开始更新"), ProgressIcon::Opening);
    return site;
}

files::OpenFolder SitePublisher::siteFolder(const files::OpenFolder &site, const QString &name, bool create)
{
    if (!create && !site.holdsName(files::OpenFolder::nameOf(name)))
        return {};
    files::OpenFolder folder = site.subfolder(name, create);
    if (folder.isOutside())
        m_report.cannotWrite(folder.path(), outsideSiteFolderText());
    else if (!folder.isOpen())
        m_report.cannotWrite(folder.path(), folder.error());
    folder.removeTemporaries();
    return folder;
}

files::OpenFolder SitePublisher::siteFolderApart(const files::OpenFolder &site, const QString &name,
                                                 bool create,
                                                 std::initializer_list<const files::OpenFolder *> others)
{
    files::OpenFolder folder = siteFolder(site, name, create);
    // Linked to one folder, pages and covers would each be pruned as
    // strangers to the other: the later one is then not published at all.
    for (const files::OpenFolder *other : others) {
        if (folder.isSameFolderAs(*other)) {
            m_report.cannotWrite(folder.path(), sameFolderAsText(QFileInfo(other->path()).fileName()));
            return {};
        }
    }
    return folder;
}

void SitePublisher::openSubtitleFolders(const files::OpenFolder &webSubtitle,
                                        const files::OpenFolder &siteSubtitle,
                                        const QList<QByteArray> &projects, const QSet<QByteArray> &recorded)
{
    QSet<QByteArray> published;
    for (const QByteArray &project : projects) {
        auto folder = std::make_unique<SubtitleFolder>();
        folder->project = project;
        folder->from = webSubtitle.plainSubfolder(project, false);
        folder->sources = folder->from.listFiles();
        folder->to = siteSubtitle.plainSubfolder(project, true);
        if (!folder->sources.ok())
            folder->copyFailures.append(
                site::texts::cannotRead(folder->from.path(), folder->sources.failure->reason));
        else if (!folder->to.isOpen())
            folder->copyFailures.append(site::texts::cannotWrite(folder->to.path(), folder->to.error()));
        folder->to.removeTemporaries();
        m_filesToPublish += int(folder->sources.encodedEntries.size());
        published.insert(project);
        m_subtitleFolders.push_back(std::move(folder));
    }
    // The folders of projects that are gone, to prune what the record names.
    for (const QByteArray &project : recorded) {
        if (published.contains(project))
            continue;
        auto folder = std::make_unique<SubtitleFolder>();
        folder->project = project;
        folder->to = siteSubtitle.plainSubfolder(project, false);
        folder->gone = true;
        m_subtitleFolders.push_back(std::move(folder));
    }
}

QStringList SitePublisher::subtitleCopyFailures() const
{
    QStringList failures;
    for (const auto &folder : m_subtitleFolders)
        failures += folder->copyFailures;
    return failures;
}

void SitePublisher::stageSubtitles(QSet<QByteArray> &entries)
{
    for (const auto &folder : m_subtitleFolders) {
        if (folder->gone || !folder->sources.ok() || !folder->to.isOpen())
            continue;
        for (const QByteArray &name : folder->sources.encodedEntries) {
            stage(folder->from, name, folder->to, folder->copyFailures);
            entries.insert(published::entryOf(subtitleFolderOf(folder->project), name));
        }
    }
}

SitePublisher::Pruned SitePublisher::pruneSubtitles(const files::OpenFolder &siteSubtitle,
                                                    const QSet<QByteArray> &earlier,
                                                    QSet<QByteArray> &entries)
{
    Pruned all;
    for (const auto &folder : m_subtitleFolders) {
        const QByteArray recorded = subtitleFolderOf(folder->project);
        if (folder->gone && !siteSubtitle.holdsName(folder->project)) {
            for (const QByteArray &name : published::namesIn(entries, recorded))
                entries.remove(published::entryOf(recorded, name));
            continue;
        }
        if (!folder->to.isOpen() || !folder->sources.ok())
            continue;
        const Pruned pruned = prune(folder->gone ? nullptr : &folder->from, folder->to, {},
                                    published::namesIn(earlier, recorded));
        all.failures += pruned.failures;
        all.strangers += pruned.strangers;
        for (const QByteArray &name : pruned.removed)
            entries.remove(published::entryOf(recorded, name));
        for (const QByteArray &name : published::namesIn(entries, recorded)) {
            if (!folder->to.holdsEntry(name))
                entries.remove(published::entryOf(recorded, name));
        }
        if (!folder->gone)
            continue;
        if (const files::Outcome<void> removed = siteSubtitle.removeFolder(folder->project); !removed)
            all.failures.append(
                site::texts::cannotDelete(siteSubtitle.pathOf(folder->project), removed.failure().reason));
    }
    return all;
}

void SitePublisher::countFile()
{
    m_report.progress(++m_filesDone, m_filesToPublish);
}

void SitePublisher::stage(const files::OpenFolder &from, const QByteArray &name, const files::OpenFolder &to,
                          QStringList &failures)
{
    countFile();
    const files::Outcome<QByteArray> bytes = from.readFile(name);
    if (bytes && to.holdsSameBytes(name, *bytes))
        return;
    const files::Outcome<QByteArray> temporary = bytes ? to.writeTemporary(*bytes, name) : bytes;
    if (!temporary) {
        failures.append(
            site::texts::cannotCopy(from.pathOf(name), to.pathOf(name), temporary.failure().reason));
        return;
    }
    m_staged.push_back({&to, name, *temporary, from.pathOf(name), &failures});
}

void SitePublisher::discardStaged()
{
    for (const Staged &left : m_staged)
        static_cast<void>(left.folder->remove(left.temporary)); // a left temporary goes in the next run
    m_staged.clear();
}

bool SitePublisher::record(const files::OpenFolder &site, const QSet<QByteArray> &entries)
{
    const files::Outcome<void> written = published::write(site, entries);
    if (written) {
        checkpoint();
        return true;
    }
    m_report.cannotWrite(written.failure().path, written.failure().reason);
    discardStaged();
    return false;
}

bool SitePublisher::commit(QStringList &failures)
{
    // One sync per file system that got files, not one per file.
    QList<quint64> synced;
    for (const Staged &file : m_staged) {
        const quint64 fileSystem = file.folder->fileSystem();
        if (synced.contains(fileSystem))
            continue;
        synced.append(fileSystem);
        if (const files::Outcome<void> onDisk = file.folder->syncFileSystem(); !onDisk) {
            failures.append(site::texts::cannotWrite(file.folder->path(), onDisk.failure().reason));
            discardStaged();
            return false;
        }
    }
    for (const Staged &file : m_staged) {
        if (const files::Outcome<void> renamed = file.folder->rename(file.temporary, file.name); !renamed) {
            file.failures->append(site::texts::cannotCopy(file.source, file.folder->pathOf(file.name),
                                                          renamed.failure().reason));
            static_cast<void>(file.folder->remove(file.temporary)); // a left temporary goes in the next run
        }
        checkpoint();
    }
    m_staged.clear();
    return true;
}

QSet<QByteArray> SitePublisher::earlierEntries(const std::optional<QSet<QByteArray>> &record,
                                               const files::OpenFolder &siteData,
                                               const files::OpenFolder &siteImage) const
{
    if (record)
        return *record;
    // A removed project keeps its settings file, so the stale pages of
    // removed projects go too; nothing else is taken for the program's.
    QSet<QByteArray> entries;
    const auto addProjectFiles = [&](const files::OpenFolder &folder, const QByteArray &folderName,
                                     const QString &suffix) {
        if (!folder.isOpen())
            return;
        const files::Listing present = folder.listFiles();
        for (qsizetype i = 0; i < present.entries.size(); ++i) {
            const QString &file = present.entries.at(i);
            if (!file.endsWith(suffix))
                continue;
            const QString project = file.chopped(suffix.size());
            if (!project.isEmpty() && files::plainFileExists(m_workspace.projectSettingsFile(project)))
                entries.insert(published::entryOf(folderName, present.encodedEntries.at(i)));
        }
    };
    addProjectFiles(siteData, dataFolder, QStringLiteral(".html"));
    addProjectFiles(siteImage, imageFolder, QStringLiteral(".jpg"));
    return entries;
}

bool SitePublisher::ownsIndexPage(const files::OpenFolder &site,
                                  const std::optional<QSet<QByteArray>> &record) const
{
    const QByteArray index = published::indexEntry();
    if (!site.holdsEntry(index) || (record && record->contains(index)))
        return true;
    // A web server's welcome page or the user's own site; a link that leads
    // nowhere holds no page at all.
    const files::Outcome<QByteArray> page = site.readFile(index);
    return !page || linksIntoData(*page);
}

SitePublisher::Pruned SitePublisher::prune(const files::OpenFolder *source, const files::OpenFolder &target,
                                           const QSet<QByteArray> &keep, const QSet<QByteArray> &ours) const
{
    Pruned pruned;
    const files::Listing sources = source ? source->listFiles() : files::Listing{};
    const files::Listing present = target.listFiles();
    // Without the list of what belongs, nothing may be called stale.
    if (!sources.ok() || !present.ok())
        return pruned;
    const QSet<QByteArray> wanted(sources.encodedEntries.cbegin(), sources.encodedEntries.cend());
    for (const QByteArray &name : present.encodedEntries) {
        if (wanted.contains(name) || keep.contains(name))
            continue;
        if (!ours.contains(name)) {
            pruned.strangers.append(target.pathOf(name));
            continue;
        }
        if (const files::Outcome<void> removed = target.remove(name))
            pruned.removed.insert(name);
        else
            pruned.failures.append(site::texts::cannotDelete(target.pathOf(name), removed.failure().reason));
        checkpoint();
    }
    return pruned;
}

bool SitePublisher::publishWholeSite(const OutputFolders &output)
{
    const QString sitePath = connect();
    if (sitePath.isEmpty())
        return false;
    const files::OpenFolder site(sitePath);
    if (!site.isOpen()) {
        m_report.cannotWrite(sitePath, site.error());
        return false;
    }
    site.removeTemporaries();
    const int errorsBefore = m_report.errors();
    const files::OpenFolder &web = output.web();
    const files::OpenFolder &webData = output.data();
    const files::OpenFolder &webImage = output.image();
    const files::Listing pageSources = webData.isOpen() ? webData.listFiles() : files::Listing{};
    const files::Listing coverSources = webImage.isOpen() ? webImage.listFiles() : files::Listing{};
    m_filesToPublish = 1 + int(pageSources.encodedEntries.size()) + int(coverSources.encodedEntries.size());
    const std::optional<QSet<QByteArray>> earlierRecord = published::read(site);

    const files::OpenFolder siteData = siteFolder(site, QStringLiteral("Data"), true);
    const files::OpenFolder siteImage = siteFolderApart(site, QStringLiteral("Image"), true, {&siteData});
    // `Subtitle` is made only when there are tracks to publish.
    const files::OpenFolder &webSubtitle = output.subtitle();
    const files::Listing subtitleProjects =
        webSubtitle.isOpen() ? webSubtitle.listFolders() : files::Listing{};
    const files::OpenFolder siteSubtitle =
        webSubtitle.isOpen() && subtitleProjects.ok()
            ? siteFolderApart(site, QStringLiteral("Subtitle"), !subtitleProjects.encodedEntries.isEmpty(),
                              {&siteData, &siteImage})
            : files::OpenFolder();
    const bool subtitlesGo = siteSubtitle.isOpen();
    if (subtitlesGo)
        openSubtitleFolders(webSubtitle, siteSubtitle, subtitleProjects.encodedEntries,
                            published::foldersIn(earlierRecord.value_or(QSet<QByteArray>()), subtitleFolder));
    m_report.progress(0, m_filesToPublish);
    const FinishedProgress finished(m_report, m_filesToPublish);

    const QByteArray index = published::indexEntry();
    const bool indexOurs = ownsIndexPage(site, earlierRecord);
    QStringList indexFailures;
    if (indexOurs) {
        stage(web, index, site, indexFailures);
    } else {
        countFile();
        m_report.failure(notOurIndexText() + site.pathOf(index));
    }

    const bool pagesGo = webData.isOpen() && siteData.isOpen();
    const bool coversGo = webImage.isOpen() && siteImage.isOpen();
    QStringList pageCopyFailures;
    QStringList coverCopyFailures;
    const auto stageAll = [this](const files::OpenFolder &from, const files::Listing &sources,
                                 const files::OpenFolder &to, QStringList &failures) {
        if (!sources.ok()) {
            failures.append(site::texts::cannotRead(from.path(), sources.failure->reason));
            return;
        }
        for (const QByteArray &name : sources.encodedEntries)
            stage(from, name, to, failures);
    };
    if (pagesGo)
        stageAll(webData, pageSources, siteData, pageCopyFailures);
    if (coversGo)
        stageAll(webImage, coverSources, siteImage, coverCopyFailures);

    // The files to come are entered before any is renamed into place, so
    // that a run cut off anywhere leaves none the record does not name.
    const QSet<QByteArray> earlier = earlierEntries(earlierRecord, siteData, siteImage);
    QSet<QByteArray> entries = earlier;
    if (indexOurs)
        entries.insert(index);
    const auto enter = [&entries](const QByteArray &folder, const files::Listing &sources) {
        for (const QByteArray &name : sources.encodedEntries)
            entries.insert(published::entryOf(folder, name));
    };
    if (pagesGo)
        enter(dataFolder, pageSources);
    if (coversGo)
        enter(imageFolder, coverSources);
    stageSubtitles(entries);
    if (!record(site, entries))
        return true;

    QStringList syncFailures;
    Pruned pages;
    Pruned covers;
    Pruned tracks;
    if (commit(syncFailures)) {
        if (pagesGo)
            pages =
                prune(&webData, siteData, output.unwrittenPages(), published::namesIn(earlier, dataFolder));
        if (coversGo)
            covers = prune(&webImage, siteImage, output.unwrittenCovers(),
                           published::namesIn(earlier, imageFolder));
        tracks = pruneSubtitles(siteSubtitle, earlier, entries);
        // What is gone leaves the record; what could not be removed stays in
        // it, for the next run to try again.
        const auto leave = [&entries](const QByteArray &folder, const files::OpenFolder &target,
                                      const Pruned &pruned) {
            for (const QByteArray &name : pruned.removed)
                entries.remove(published::entryOf(folder, name));
            for (const QByteArray &name : published::namesIn(entries, folder)) {
                if (target.isOpen() && !target.holdsEntry(name))
                    entries.remove(published::entryOf(folder, name));
            }
        };
        leave(dataFolder, siteData, pages);
        leave(imageFolder, siteImage, covers);
        if (!site.holdsEntry(index))
            entries.remove(index);
        if (const files::Outcome<void> written = published::write(site, entries); !written)
            m_report.cannotWrite(written.failure().path, written.failure().reason);
        checkpoint();
    }

    // The lines keep the order of a clear-then-copy publish, each failure
    // right after the line of its step; a step not taken has no line.
    const auto stepWithFailures = [this](const char *line, const QStringList &failures) {
        if (line)
            m_report.step(QString::fromUtf8(line));
        for (const QString &failure : failures)
            m_report.failure(failure);
    };
    if (indexOurs)
        stepWithFailures(indexFailures.isEmpty() ? "主页更新完成" : nullptr, indexFailures);
    stepWithFailures(nullptr, syncFailures);
    if (syncFailures.isEmpty()) {
        if (pagesGo)
            stepWithFailures("清空播放页内容", pages.failures);
        if (coversGo)
            stepWithFailures("清空封面图片内容", covers.failures);
        if (pagesGo)
            stepWithFailures("播放页内容更新", pageCopyFailures);
        if (coversGo)
            stepWithFailures("封面内容更新", coverCopyFailures);
        if (subtitlesGo)
            stepWithFailures("清空字幕内容", tracks.failures);
        if (subtitlesGo)
            stepWithFailures("字幕内容更新", subtitleCopyFailures());
    }
    const QStringList strangers = pages.strangers + covers.strangers + tracks.strangers;
    if (!strangers.isEmpty()) {
        m_report.step(strangersText(strangers.size()), ProgressIcon::Failure);
        for (const QString &stranger : strangers)
            m_report.logNote(QStringLiteral("    ") + stranger);
    }
    if (m_report.errors() == errorsBefore)
        m_report.step(QStringLiteral("站点内容更新完成"), ProgressIcon::Done);
    return true;
}

bool SitePublisher::publishProject(const QString &name, const OutputFolders &output)
{
    const QString sitePath = connect();
    if (sitePath.isEmpty())
        return false;
    const files::OpenFolder site(sitePath);
    if (!site.isOpen()) {
        m_report.cannotWrite(sitePath, site.error());
        return false;
    }
    const int errorsBefore = m_report.errors();
    const files::OpenFolder siteData = siteFolder(site, QStringLiteral("Data"), true);
    const files::OpenFolder siteImage = siteFolderApart(site, QStringLiteral("Image"), true, {&siteData});
    const files::OpenFolder &webData = output.data();
    const files::OpenFolder &webImage = output.image();
    const bool usable = isUsableProjectName(name);
    const std::optional<QSet<QByteArray>> earlierRecord = published::read(site);
    m_filesToPublish = 2;
    // The project's tracks, and what the record names of its earlier ones.
    const QByteArray project = files::OpenFolder::nameOf(name);
    const files::OpenFolder &webSubtitle = output.subtitle();
    const bool hasTracks = usable && webSubtitle.isOpen() && webSubtitle.holdsName(project);
    const files::OpenFolder siteSubtitle =
        usable && webSubtitle.isOpen()
            ? siteFolderApart(site, QStringLiteral("Subtitle"), hasTracks, {&siteData, &siteImage})
            : files::OpenFolder();
    const bool subtitlesGo =
        siteSubtitle.isOpen() &&
        (hasTracks ||
         published::foldersIn(earlierRecord.value_or(QSet<QByteArray>()), subtitleFolder).contains(project));
    if (subtitlesGo)
        openSubtitleFolders(webSubtitle, siteSubtitle,
                            hasTracks ? QList<QByteArray>{project} : QList<QByteArray>{}, {project});
    m_report.progress(0, m_filesToPublish);
    const FinishedProgress finished(m_report, m_filesToPublish);
    const bool pageGoes = usable && webData.isOpen() && siteData.isOpen();
    const bool coverGoes = usable && webImage.isOpen() && siteImage.isOpen();
    const QByteArray page = files::OpenFolder::nameOf(name + QStringLiteral(".html"));
    const QByteArray cover = files::OpenFolder::nameOf(name + QStringLiteral(".jpg"));

    QStringList pageFailures;
    QStringList coverFailures;
    if (pageGoes)
        stage(webData, page, siteData, pageFailures);
    if (coverGoes)
        stage(webImage, cover, siteImage, coverFailures);
    // A site without a record gets one here; it names what a whole-site run
    // would have taken for the program's, so that run still prunes them.
    const QSet<QByteArray> earlier = earlierEntries(earlierRecord, siteData, siteImage);
    QSet<QByteArray> entries = earlier;
    if (pageGoes)
        entries.insert(published::entryOf(dataFolder, page));
    if (coverGoes)
        entries.insert(published::entryOf(imageFolder, cover));
    stageSubtitles(entries);
    QStringList syncFailures;
    const bool placed = record(site, entries) && commit(syncFailures);
    for (const QString &failure : syncFailures)
        m_report.failure(failure);
    Pruned tracks;
    if (placed && subtitlesGo) {
        tracks = pruneSubtitles(siteSubtitle, earlier, entries);
        if (const files::Outcome<void> written = published::write(site, entries); !written)
            m_report.cannotWrite(written.failure().path, written.failure().reason);
        checkpoint();
    }

    if (!usable)
        m_report.unusableName(name);
    if (pageGoes && placed) {
        m_report.step(QStringLiteral("播放页内容更新"));
        for (const QString &failure : pageFailures)
            m_report.failure(failure);
    }
    if (coverGoes && placed) {
        m_report.step(QStringLiteral("封面内容更新"));
        for (const QString &failure : coverFailures)
            m_report.failure(failure);
    }
    if (subtitlesGo && placed) {
        m_report.step(QStringLiteral("字幕内容更新"));
        for (const QString &failure : tracks.failures + subtitleCopyFailures())
            m_report.failure(failure);
    }
    if (!tracks.strangers.isEmpty()) {
        m_report.step(strangersText(tracks.strangers.size()), ProgressIcon::Failure);
        for (const QString &stranger : tracks.strangers)
            m_report.logNote(QStringLiteral("    ") + stranger);
    }
    if (m_report.errors() == errorsBefore)
        m_report.step(QStringLiteral("站点 - ") + name + QStringLiteral("页面更新完成"), ProgressIcon::Done);
    return true;
}

} // namespace tessaly
