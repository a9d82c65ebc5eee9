#include "site/SiteGeneration.h"

#include "catalogue/CatalogueTexts.h"
#include "catalogue/ProjectList.h"
#include "catalogue/ProjectRemoval.h"
#include "files/FileServices.h"
#include "files/TextFile.h"
#include "settings/IniFile.h"
#include "settings/SettingsFiles.h"
#include "site/EpisodeFacts.h"
#include "site/OutputFolders.h"
#include "site/Placeholders.h"
#include "site/ProjectPages.h"
#include "site/ServerCheck.h"
#include "site/SitePublisher.h"
#include "site/SiteTexts.h"
#include "site/Style.h"
#include "site/VideoCheck.h"
#include "site/WebCopyPruning.h"
#include "workspace/Workspace.h"

namespace tessaly {

namespace {

// A template, `Style.ini` or `Setting.ini` that cannot be read, a missing
// template that cannot be written, or a list not read whole ends the run
// before anything changes: pages made without them would be wrong, and the
// clean-up would remove good ones.
RunInputs readRunInputs(const Workspace &workspace, const ProjectList &projects,
                        const WorkingTemplates &templates)
{
    RunInputs inputs;
    inputs.failures = templates.failures;
    const QString settingsFile = workspace.settingsFile();
    if (files::plainFileExists(settingsFile)) {
        if (const files::Outcome<QString> content = text::readWholeText(settingsFile)) {
            const QString section = QString::fromLatin1(settings::Section);
            inputs.movieRoot = files::withoutTrailingSeparators(
                ini::valueIn(*content, section, QStringLiteral("MovieFile")));
            inputs.siteFolder = ini::valueIn(*content, section, QStringLiteral("WebFile"));
            inputs.episodeOrder = settings::nameOrderFor(
                ini::valueIn(*content, section, QLatin1String(settings::NaturalOrderKey)));
            inputs.checkVideos = settings::checksVideosFor(
                ini::valueIn(*content, section, QLatin1String(settings::CheckVideosKey)));
        } else {
            inputs.failures.append({InputFileFailure::Kind::Read, settingsFile, content.failure().reason});
        }
    }
    if (projects.notReadWhole())
        inputs.failures.append({InputFileFailure::Kind::Read, workspace.listFile(), projects.loadFailure()});
    return inputs;
}

void reportInputFailures(const QList<InputFileFailure> &failures, RunReport &report)
{
    for (const InputFileFailure &failure : failures) {
        if (failure.kind == InputFileFailure::Kind::Write)
            report.cannotWrite(failure.path, failure.reason);
        else
            report.cannotRead(failure.path, failure.reason);
    }
}

// The closing of a run that went to its end.
RunEnding finished(SiteRun::Kind kind, int errors, int videoNotes)
{
    const bool wholeSite = kind == SiteRun::Kind::WholeSite;
    RunEnding ending;
    if (errors == 0) {
        ending.lastLine = wholeSite ? QStringLiteral("生成网站成功...") : QStringLiteral("更新本集内容成功!");
        ending.boxText = wholeSite ? QStringLiteral("生成网站成功!") : QStringLiteral("更新本集内容成功!");
    } else {
        ending.lastLine = wholeSite ? QStringLiteral("生成网站完成,共 %1 个错误...").arg(errors)
                                    : QStringLiteral("更新本集内容完成,共 %1 个错误!").arg(errors);
        ending.lastIcon = ProgressIcon::Failure;
        ending.boxText = ending.lastLine;
    }
    if (videoNotes > 0)
        ending.boxText +=
            QStringLiteral("\r\n\r\n有 %1 集在浏览器中可能无法正常播放,可用“转换为网页格式”处理。")
                .arg(videoNotes);
    return ending;
}

// A run stopped because the window is closing: no box follows.
RunEnding stopped()
{
    return RunEnding{QStringLiteral("生成网站已中止..."), ProgressIcon::Failure, {}, true};
}

void deleteIfPresent(const files::OpenFolder &folder, const QByteArray &name, RunReport &report)
{
    if (!folder.holdsEntry(name))
        return;
    if (const files::Outcome<void> removed = folder.remove(name); !removed)
        report.cannotDelete(folder.pathOf(name), removed.failure().reason);
}

bool succeeded(const files::Outcome<void> &outcome, QString *reason)
{
    if (!outcome && reason)
        *reason = outcome.failure().reason;
    return outcome.ok();
}

// The index page, written as its cells come instead of gathered first: at a
// hundred thousand projects the cells alone are over a hundred megabytes.
// The bytes are those of the template with its "[[Text]]" filled with the
// cells joined by CR LF, encoded as a text file. A template with "[[Text]]"
// more than once gathers the cells, as it needs them again.
class IndexPageWriter
{
public:
    enum class Encoding
    {
        CodePage936,
        Wide, // GB18030
        Utf8
    };

    IndexPageWriter(const files::OpenFolder &web, const QString &page, Encoding encoding)
        : m_web(web), m_page(page), m_encoder(encoding == Encoding::CodePage936),
          m_utf8(encoding == Encoding::Utf8)
    {
        const QString placeholder = QStringLiteral("[[Text]]");
        m_at = page.indexOf(placeholder);
        const bool once = m_at >= 0 && page.indexOf(placeholder, m_at + placeholder.size()) < 0;
        if (once && web.isOpen()) {
            m_file.emplace(web, QByteArrayLiteral("index.html"));
            put(QStringView(page).first(m_at));
        }
    }

    void addCell(const QString &cell)
    {
        const QStringView separator = u"\r\n";
        if (m_file) {
            if (m_cells++ > 0)
                put(separator);
            put(cell);
        } else if (m_at >= 0) {
            if (m_cells++ > 0)
                m_joined.append(separator);
            m_joined.append(cell);
        }
    }

    // Writes what is left; false with the reason when the page could not be
    // written whole.
    bool finish(QString *reason)
    {
        if (!m_web.isOpen())
            return true;
        if (m_file) {
            put(QStringView(m_page).sliced(m_at + 8));
            put(u"\r\n");
            flush();
            return succeeded(m_file->commit(), reason);
        }
        QString page = m_page;
        fillPlaceholder(page, QStringLiteral("[[Text]]"), m_joined);
        const QByteArray bytes = m_utf8 ? (page + QStringLiteral("\r\n")).toUtf8() : text::fileBytes(page);
        return succeeded(m_web.writeFile(QByteArrayLiteral("index.html"), bytes), reason);
    }

private:
    void put(QStringView text)
    {
        if (m_utf8)
            m_bytes.append(text.toUtf8());
        else
            m_encoder.appendTo(m_bytes, text);
        if (m_bytes.size() >= 64 * 1024)
            flush();
    }

    void flush()
    {
        m_file->append(m_bytes);
        m_bytes.clear();
    }

    const files::OpenFolder &m_web;
    QString m_page;
    text::PieceEncoder m_encoder;
    bool m_utf8;
    qsizetype m_at = -1;
    std::optional<files::OpenFolder::StreamedFile> m_file;
    QByteArray m_bytes;
    QString m_joined;
    int m_cells = 0;
};

} // namespace

void checkServer(const Workspace &workspace, ServerProbe *probe, const FirstEpisode &episode,
                 RunReport &report)
{
    const std::optional<QString> line =
        ServerCheck(probe).failureLine(SiteSettings::read(workspace).webLink, episode);
    if (line)
        report.step(*line, ProgressIcon::Failure);
}

QString unusableRunInputsText(const Workspace &workspace, const WorkingTemplates &templates)
{
    QStringList texts;
    for (const InputFileFailure &failure : readRunInputs(workspace, ProjectList(), templates).failures)
        texts.append(files::Failure{failure.path, failure.reason}.text());
    return texts.join(QStringLiteral("\r\n"));
}

bool SiteRun::indexFitsCodePage936(const ProjectPages &pages, const QList<ProjectSource> &sources) const
{
    // A cell differs from another of its project only in its number of
    // episodes, which is digits; the page then fits code page 936 when its
    // template, the row break it takes and every cell it takes fit.
    if (!text::fitsCodePage936(m_templates.indexPage))
        return false;
    int cells = 0;
    for (const ProjectSource &source : sources) {
        if (source.skipped())
            continue;
        ProjectContent content;
        content.name = source.name;
        if (!text::fitsCodePage936(pages.coverCell(content)))
            return false;
        ++cells;
    }
    return m_templates.cellsPerRow < 1 || cells < m_templates.cellsPerRow ||
           text::fitsCodePage936(m_templates.rowBreak);
}

SiteRun::SiteRun(Kind kind, const Workspace &workspace, const ProjectList &projects,
                 const WorkingTemplates &templates, RunInputs inputs, int row)
    : m_kind(kind), m_workspace(workspace), m_projects(projects), m_templates(templates),
      m_inputs(std::move(inputs)), m_row(row)
{}

files::Outcome<SiteRun> SiteRun::prepareWholeSite(const Workspace &workspace, const ProjectList &projects,
                                                  const WorkingTemplates &templates)
{
    RunInputs inputs = readRunInputs(workspace, projects, templates);
    if (projects.size() == 0)
        return files::Failure{{}, catalogue::texts::noContent()};
    return SiteRun(Kind::WholeSite, workspace, projects, templates, std::move(inputs), -1);
}

files::Outcome<SiteRun> SiteRun::prepareUpdate(const Workspace &workspace, const ProjectList &projects,
                                               const WorkingTemplates &templates, int row)
{
    RunInputs inputs = readRunInputs(workspace, projects, templates);
    if (projects.size() == 0)
        return files::Failure{};
    if (row < 0 || row >= projects.size())
        return files::Failure{{}, catalogue::texts::noContent()};
    // Refused before any page is touched, as the cover commands are: the
    // project has no page of its own to update.
    const QString selected = projects.names().at(row);
    if (!isUsableProjectName(selected))
        return files::Failure{{}, unusableProjectNameText(selected)};
    return SiteRun(Kind::ProjectUpdate, workspace, projects, templates, std::move(inputs), row);
}

RunOutcome SiteRun::run(ProgressSink &sink, const std::atomic<bool> *stop) const
{
    RunReport report(sink, m_earlierLines);
    // Kept until the run is closed: its thread lets the cache go meanwhile.
    VideoCheck videos(m_workspace, report, m_inputs.checkVideos,
                      WebCopyLinks(m_inputs.siteFolder, m_inputs.movieRoot));
    const RunEnding ending =
        m_kind == Kind::WholeSite ? runWholeSite(report, videos, stop) : runUpdate(report, videos, stop);
    return closeRun(m_workspace, report, ending, m_clock);
}

void SiteRun::clearCache(const OutputFolders &output, RunReport &report,
                         const QSet<QByteArray> &keptPages) const
{
    output.removeTemporaries();
    deleteIfPresent(output.web(), QByteArrayLiteral("index.html"), report);
    if (!output.data().isOpen())
        return;
    const files::Listing pages = output.data().listFiles();
    if (!pages.ok()) {
        report.cannotRead(m_workspace.webData(), pages.failure->reason);
        return;
    }
    for (const QByteArray &page : pages.encodedEntries) {
        if (!keptPages.contains(page))
            deleteIfPresent(output.data(), page, report);
    }
}

RunEnding SiteRun::runWholeSite(RunReport &report, VideoCheck &videos, const std::atomic<bool> *stop) const
{
    const RunInputs &inputs = m_inputs;
    const auto stopAsked = [stop] { return stop && stop->load(); };
    report.step(QStringLiteral("读取页面格式文件..."), ProgressIcon::Opening);
    if (!inputs.failures.isEmpty()) {
        reportInputFailures(inputs.failures, report);
        return finished(m_kind, report.errors(), 0);
    }

    // Read before the clean-up, so a project whose settings cannot be read
    // keeps the page it has.
    QList<ProjectSource> sources = readProjectSources(m_workspace, m_projects.names());
    videos.expect(sources);
    QSet<QByteArray> keptPages;
    for (const ProjectSource &source : sources) {
        if (source.usableName && source.skipped())
            keptPages.insert(files::OpenFolder::nameOf(source.name + QStringLiteral(".html")));
    }
    report.step(QStringLiteral("清空缓存数据..."));
    const bool modern = m_templates.pageSet == PageSet::Modern;
    const OutputFolders output(m_workspace, report, modern);
    clearCache(output, report, keptPages);

    ProjectPages pages(m_workspace, output, m_templates, inputs.movieRoot, inputs.episodeOrder, report,
                       ProjectPages::Lines::WholeSite, m_facts ? *m_facts : videos);
    // The tracks of projects that are gone go now; the others' stay until
    // their project is made, so that unchanged files are not made again.
    // The classic pages have none.
    QSet<QByteArray> trackedProjects;
    for (const ProjectSource &source : sources) {
        if (modern && source.usableName)
            trackedProjects.insert(files::OpenFolder::nameOf(source.name));
    }
    pages.subtitles().keepOnly(trackedProjects);
    using Encoding = IndexPageWriter::Encoding;
    const Encoding encoding = modern                                 ? Encoding::Utf8
                              : indexFitsCodePage936(pages, sources) ? Encoding::CodePage936
                                                                     : Encoding::Wide;
    IndexPageWriter index(output.web(), m_templates.indexPage, encoding);
    int rowCounter = 0;
    int done = 0;
    FirstEpisode firstEpisode;
    WebCopyPruning copies(inputs.movieRoot, inputs.siteFolder);
    report.progress(done, int(sources.size()));
    for (const ProjectSource &source : sources) {
        if (stopAsked())
            return stopped();
        if (!source.unreadableReason.isEmpty())
            copies.keepEverything();
        else if (source.skipped())
            copies.keepFolder(source.name, source.episodeFolder);
        if (pages.announce(source)) {
            const ProjectContent content = pages.read(source);
            if (!content.listed) {
                copies.keepFolder(source.name, source.episodeFolder);
                report.progress(++done, int(sources.size()));
                continue;
            }
            copies.keepEpisodes(content.name, content.episodeFolder, content.episodeNames);
            if (firstEpisode.isEmpty())
                firstEpisode = FirstEpisode::of(content);
            QString cell = pages.coverCell(content);
            if (++rowCounter == m_templates.cellsPerRow) {
                cell += QStringLiteral("\r\n") + m_templates.rowBreak;
                rowCounter = 0;
            }
            videos.check(content);
            pages.noteSubtitles(content);
            report.step(QStringLiteral("主页内容处理..."));
            index.addCell(cell);
            pages.writePlayPage(content);
        }
        report.progress(++done, int(sources.size()));
    }
    videos.finish();
    if (stopAsked())
        return stopped();

    report.step(QStringLiteral("主页面内容生成..."));
    QString reason;
    if (!index.finish(&reason))
        report.cannotWrite(m_workspace.indexPage(), reason);
    // Not needed further; freed before the log is made of every line.
    sources = {};
    pages.subtitles().save();
    output.syncToDisk(report);

    if (stopAsked())
        return stopped();
    if (files::plainFileExists(m_workspace.settingsFile()) &&
        SitePublisher(m_workspace, report).publishWholeSite(output)) {
        copies.prune(files::OpenFolder(inputs.siteFolder), report);
        checkServer(m_workspace, m_probe, firstEpisode, report);
    }
    return finished(m_kind, report.errors(), videos.noted());
}

RunEnding SiteRun::runUpdate(RunReport &report, VideoCheck &videos, const std::atomic<bool> *stop) const
{
    const RunInputs &inputs = m_inputs;
    const int selectedRow = m_row;
    const auto stopAsked = [stop] { return stop && stop->load(); };
    const QString selected = m_projects.names().at(selectedRow);
    report.step(QStringLiteral("读取页面格式文件..."), ProgressIcon::Opening);
    if (!inputs.failures.isEmpty()) {
        reportInputFailures(inputs.failures, report);
        return finished(m_kind, report.errors(), 0);
    }

    const QList<ProjectSource> sources = readProjectSources(m_workspace, m_projects.names());
    videos.expect(sources);
    report.step(QStringLiteral("清理缓存数据..."));
    const OutputFolders output(m_workspace, report, m_templates.pageSet == PageSet::Modern);
    output.removeTemporaries();
    if (!sources.at(selectedRow).skipped())
        deleteIfPresent(output.data(), files::OpenFolder::nameOf(selected + QStringLiteral(".html")), report);

    ProjectPages pages(m_workspace, output, m_templates, inputs.movieRoot, inputs.episodeOrder, report,
                       ProjectPages::Lines::Update, m_facts ? *m_facts : videos);
    int done = 0;
    FirstEpisode firstEpisode;
    report.progress(done, int(sources.size()));
    for (const ProjectSource &source : sources) {
        if (stopAsked())
            return stopped();
        if (pages.announce(source)) {
            const ProjectContent content = pages.read(source);
            if (!content.listed) {
                report.progress(++done, int(sources.size()));
                continue;
            }
            if (firstEpisode.isEmpty())
                firstEpisode = FirstEpisode::of(content);
            // The update's lines are of the project it updates.
            if (source.name == selected) {
                videos.check(content);
                pages.noteSubtitles(content);
            }
            pages.writePlayPage(content);
        }
        report.progress(++done, int(sources.size()));
    }
    videos.finish();
    pages.subtitles().save();
    output.syncToDisk(report);

    if (stopAsked())
        return stopped();
    // A project whose settings or folder could not be read, or whose folder
    // cannot be used, was not made anew, so its published copy stays as it is.
    const ProjectSource &selectedSource = sources.at(selectedRow);
    if (files::plainFileExists(m_workspace.settingsFile()) && !selectedSource.skipped() &&
        SitePublisher(m_workspace, report).publishProject(selected, output))
        checkServer(m_workspace, m_probe, firstEpisode, report);
    return finished(m_kind, report.errors(), videos.noted());
}

} // namespace tessaly
