#include "site/ProjectPages.h"

#include "catalogue/Episodes.h"
#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "files/FileTexts.h"
#include "files/TextFile.h"
#include "settings/IniFile.h"
#include "settings/RecordedPaths.h"
#include "settings/SettingsFiles.h"
#include "site/DefaultCover.h"
#include "site/EpisodeFacts.h"
#include "site/OutputFolders.h"
#include "site/PageValues.h"
#include "site/Placeholders.h"
#include "site/RunReport.h"
#include "site/Style.h"
#include "workspace/Workspace.h"

namespace tessaly {

namespace {

QStringList placeholders(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list.append(QStringLiteral("[[%1]]").arg(QLatin1String(name)));
    return list;
}

} // namespace

ProjectPages::ProjectPages(const Workspace &workspace, const OutputFolders &output,
                           const WorkingTemplates &templates, const QString &movieRoot,
                           files::NameOrder episodeOrder, RunReport &report, Lines lines,
                           const EpisodeFactsProvider &facts)
    : m_workspace(workspace), m_output(output), m_templates(templates), m_movieRoot(movieRoot),
      m_episodeOrder(episodeOrder), m_report(report), m_lines(lines), m_facts(facts),
      m_modern(templates.pageSet == PageSet::Modern), m_subtitles(output, report)
{
    m_function = TemplateFiller(
        templates.function, placeholders({"MovieFile", "MovieName", "Title", "MovieName2", "SerialNumber"}));
    if (!m_modern) {
        m_button = TemplateFiller(templates.button, placeholders({"SerialNumber", "MovieName2"}));
        m_coverCell = TemplateFiller(templates.coverCell, placeholders({"Title", "Number"}));
        m_playPage = TemplateFiller(templates.playPage, placeholders({"Title", "MovieFile", "DefaultMovie",
                                                                      "ButtonList", "FunctionList"}));
        return;
    }
    // The new set's placeholders besides the classic ones; the lists still
    // come last, so placeholder text inside them reaches the page as it is.
    m_button = TemplateFiller(templates.button, placeholders({"SerialNumber", "MovieName2", "Duration"}));
    m_coverCell =
        TemplateFiller(templates.coverCell, placeholders({"TitleLink", "Title", "Number", "Duration"}));
    m_playPage =
        TemplateFiller(templates.playPage, placeholders({"Title", "SiteName", "MovieFile", "DefaultMovie",
                                                         "Episodes", "ButtonList", "FunctionList"}));
}

QList<ProjectSource> readProjectSources(const Workspace &workspace, const QStringList &names)
{
    QList<ProjectSource> sources;
    sources.reserve(names.size());
    const QString section = QString::fromLatin1(settings::Section);
    const QString key = QStringLiteral("File");
    for (const QString &name : names) {
        ProjectSource source;
        source.name = name;
        source.usableName = isUsableProjectName(name);
        if (source.usableName) {
            const QString settingsFile = workspace.projectSettingsFile(name);
            // A missing settings file is no failure: the project has no folder.
            const files::Outcome<std::optional<QByteArray>> read = files::readPlainFile(settingsFile);
            const std::optional<QByteArray> bytes = read ? *read : std::nullopt;
            const std::optional<QString> content = bytes ? text::decode(*bytes) : std::nullopt;
            if (content) {
                source.episodeFolder = ini::valueIn(*content, section, key);
                source.usableFolder = !settings::holdsControlCharacter(source.episodeFolder);
            } else if (bytes)
                source.unreadableReason = text::undecodableReason();
            else if (!read)
                source.unreadableReason = read.failure().reason;
            // Kept only for the failure line: a run may have a hundred
            // thousand projects.
            if (!source.unreadableReason.isEmpty())
                source.settingsFile = settingsFile;
            else if (!source.episodeFolder.isEmpty())
                source.folderReason = files::whyFolderCannotBeListed(source.episodeFolder);
        }
        sources.append(source);
    }
    return sources;
}

bool ProjectPages::announce(const ProjectSource &source)
{
    m_report.step(QStringLiteral("读取") + source.name + QStringLiteral("文件路径..."));
    if (!source.usableName) {
        m_report.unusableName(source.name);
        return false;
    }
    if (!source.unreadableReason.isEmpty()) {
        m_report.cannotRead(source.settingsFile, source.unreadableReason);
        return false;
    }
    if (!source.usableFolder) {
        m_report.failure(settings::unusableEpisodeFolderText(source.episodeFolder));
        return false;
    }
    return true;
}

ProjectContent ProjectPages::read(const ProjectSource &source)
{
    ProjectContent content;
    content.name = source.name;
    const QString &folder = source.episodeFolder;
    content.relativeFolder = page::relativeFolderPath(folder, m_movieRoot);
    m_report.step(QStringLiteral("文件路径:") + content.relativeFolder + QStringLiteral("..."),
                  ProgressIcon::Opening);
    m_report.step(QStringLiteral("处理封面图片..."));
    ensureCover(source.name);
    m_report.step(QStringLiteral("处理剧集数据..."));
    if (!source.folderReason.isEmpty()) {
        m_report.cannotRead(folder, source.folderReason);
        content.listed = false;
    } else if (!folder.isEmpty()) {
        listEpisodes(folder, content);
    } else if (m_modern) {
        m_subtitles.remove(source.name);
    }
    return content;
}

void ProjectPages::ensureCover(const QString &name)
{
    const files::OpenFolder &covers = m_output.image();
    const QByteArray fileName = files::OpenFolder::nameOf(name + QStringLiteral(".jpg"));
    if (!covers.isOpen())
        return; // a folder that cannot be opened was reported once
    // A cover the program wrote earlier is replaced by today's built-in one.
    const std::optional<qint64> size = covers.fileSize(fileName);
    if (size && !(mayBeEarlierDefaultCover(*size) && isEarlierDefaultCoverFile(m_workspace.coverFile(name))))
        return;
    const QByteArray bytes = defaultCoverBytes();
    if (bytes.isEmpty()) {
        m_report.cannotRead(QString::fromLatin1(DefaultCoverResource), QStringLiteral("内置封面不可用"));
        return;
    }
    if (const files::Outcome<void> written = m_output.writeFile(covers, fileName, bytes); !written)
        m_report.cannotWrite(m_workspace.coverFile(name), written.failure().reason);
}

void ProjectPages::listEpisodes(const QString &folder, ProjectContent &content)
{
    // Gone since the run began: said as a folder found missing at its start.
    const EpisodeListing listing = tessaly::listEpisodes(folder, m_episodeOrder);
    if (!listing.ok()) {
        m_report.cannotRead(folder, listing.isFolder ? listing.error : files::texts::noSuchFolder());
        content.listed = false;
        if (m_modern)
            m_subtitles.remove(content.name);
        return;
    }
    if (!listing.episodes.isEmpty())
        content.firstEpisode = listing.encodedEpisodes.first();
    if (m_lines == Lines::WholeSite)
        m_report.step(QStringLiteral("正在生成") + content.name + QStringLiteral("..."),
                      ProgressIcon::EpisodeList);
    if (m_modern) {
        SubtitleTracks::ProjectTracks tracks = m_subtitles.make(content.name, folder, listing);
        content.subtitleNotes = std::move(tracks.notes);
        fillModernLists(folder, listing, tracks.episodes, content);
    } else {
        fillClassicLists(folder, listing, content);
    }
    content.episodeCount = QString::number(listing.episodes.size());
    content.episodeFolder = folder;
    content.episodeNames = listing.episodes;
    content.encodedEpisodeNames = listing.encodedEpisodes;
}

void ProjectPages::fillClassicLists(const QString &folder, const EpisodeListing &listing,
                                    ProjectContent &content)
{
    // Values are escaped for the place they land in: URL pieces and HTML
    // text inside a script string in the script, HTML text in the button.
    const QString folderInScript = page::scriptEscaped(page::urlPathPiece(content.relativeFolder));
    const QString titleInScript = page::scriptEscaped(page::htmlEscaped(content.name));
    const QString crLf = QStringLiteral("\r\n");
    int number = 0;
    for (const QString &episode : listing.episodes) {
        const QByteArray &encodedEpisode = listing.encodedEpisodes.at(number);
        const QString serial = QString::number(++number);
        const QString shortName = page::htmlEscaped(page::nameWithoutExtension(episode));
        if (number > 1) {
            content.functionList.append(crLf);
            content.buttonList.append(crLf);
        }
        // An episode with a web copy plays the copy; its button keeps the
        // original's name.
        const QString webCopy = m_facts.webCopyOf(content.name, folder, encodedEpisode);
        if (number == 1)
            content.firstWebCopy = webCopy;
        const page::ClassicAddress copy = page::classicAddressOf(webCopy);
        m_function.appendFilled(
            content.functionList,
            {webCopy.isEmpty() ? folderInScript : page::scriptEscaped(page::urlPathPiece(copy.movieFile)),
             page::scriptEscaped(webCopy.isEmpty() ? page::fileNameUrlPiece(encodedEpisode, episode)
                                                   : page::urlPathPiece(copy.fileName)),
             titleInScript, page::scriptEscaped(shortName), serial});
        m_button.appendFilled(content.buttonList, {serial, shortName});
    }
}

void ProjectPages::fillModernLists(const QString &folder, const EpisodeListing &listing,
                                   const QList<QList<subtitles::Track>> &tracks, ProjectContent &content)
{
    // Every value is escaped for its place, "[" included (see
    // `htmlEscapedStrict`), so the fast fill always applies.
    const QString folderPiece = page::urlPathPieceStrict(content.relativeFolder);
    const QString folderInScript = page::scriptEscaped(folderPiece);
    const QString titleInScript = page::scriptEscaped(page::htmlEscapedStrict(content.name));
    const QString movieFolder = QStringLiteral("../movie") + folderPiece + u'/';
    const QString crLf = QStringLiteral("\r\n");
    double total = 0;
    bool allKnown = !listing.episodes.isEmpty();
    QString &json = content.episodes;
    json.reserve(listing.episodes.size() * 256);
    json.append(u'[');
    int number = 0;
    for (const QString &episode : listing.episodes) {
        const QByteArray &encodedEpisode = listing.encodedEpisodes.at(number);
        const EpisodeFacts facts = m_facts.factsOf(content.name, folder, encodedEpisode);
        const QString serial = QString::number(++number);
        const QString shortName = page::nameWithoutExtension(episode);
        const QString shortHtml = page::htmlEscapedStrict(shortName);
        const QString filePiece = page::fileNameUrlPieceStrict(encodedEpisode, episode);
        const QString duration = facts.seconds ? page::durationText(*facts.seconds) : QString();
        if (facts.seconds && !duration.isEmpty())
            total += *facts.seconds;
        else
            allKnown = false;

        if (number > 1) {
            json.append(u',');
            content.functionList.append(crLf);
            content.buttonList.append(crLf);
        }
        json.append(QStringLiteral("{\"n\":")).append(serial).append(QStringLiteral(",\"name\":"));
        page::appendJsonString(json, shortName);
        json.append(QStringLiteral(",\"file\":"));
        page::appendJsonString(json, episode);
        const QString download = movieFolder + filePiece;
        json.append(QStringLiteral(",\"src\":"));
        page::appendJsonString(json, facts.webCopy.isEmpty()
                                         ? download
                                         : QStringLiteral("../") + page::urlPathPieceStrict(facts.webCopy));
        json.append(QStringLiteral(",\"duration\":")).append(page::jsonSeconds(facts.seconds));
        json.append(QStringLiteral(",\"verdict\":"));
        page::appendJsonString(json, facts.verdict);
        json.append(QStringLiteral(",\"reason\":"));
        page::appendJsonString(json, facts.reason);
        json.append(QStringLiteral(",\"download\":"));
        page::appendJsonString(json, download);
        json.append(QStringLiteral(",\"tracks\":["));
        const QList<subtitles::Track> &episodeTracks = tracks.at(number - 1);
        for (const subtitles::Track &track : episodeTracks) {
            if (&track != &episodeTracks.first())
                json.append(u',');
            json.append(QStringLiteral("{\"src\":"));
            page::appendJsonString(json, track.src);
            json.append(QStringLiteral(",\"label\":"));
            page::appendJsonString(json, track.label);
            json.append(QStringLiteral(",\"lang\":"));
            page::appendJsonString(json, track.lang);
            json.append(QStringLiteral(",\"default\":")).append(track.isDefault ? u"true}" : u"false}");
        }
        json.append(QStringLiteral("]}"));

        m_function.appendFilled(content.functionList,
                                {folderInScript, page::scriptEscaped(filePiece), titleInScript,
                                 page::scriptEscaped(shortHtml), serial});
        m_button.appendFilled(content.buttonList, {serial, shortHtml, duration});
    }
    json.append(u']');
    if (allKnown)
        content.totalSeconds = total;
}

void ProjectPages::noteSubtitles(const ProjectContent &content)
{
    for (const QString &note : content.subtitleNotes)
        m_report.step(note, ProgressIcon::Failure);
}

QString ProjectPages::coverCell(const ProjectContent &content) const
{
    if (m_modern)
        return m_coverCell.filled(
            {page::urlPathPieceStrict(content.name), page::htmlEscapedStrict(content.name),
             content.episodeCount,
             content.totalSeconds ? page::durationText(*content.totalSeconds) : QString()});
    return m_coverCell.filled({page::htmlEscaped(content.name), content.episodeCount});
}

void ProjectPages::writePlayPage(const ProjectContent &content)
{
    m_report.step(QStringLiteral("影片") + content.name + QStringLiteral("播放页面内容生成..."));
    const files::OpenFolder &pages = m_output.data();
    if (!pages.isOpen())
        return;
    if (m_modern) {
        const QString episodes = content.episodes.isEmpty() ? QStringLiteral("[]") : content.episodes;
        const QString text = m_playPage.filled(
            {page::htmlEscapedStrict(content.name), page::htmlEscapedStrict(m_templates.siteName),
             page::urlPathPieceStrict(content.relativeFolder),
             page::fileNameUrlPieceStrict(content.firstEpisode, QString::fromUtf8(content.firstEpisode)),
             episodes, content.buttonList, content.functionList});
        if (const files::Outcome<void> written =
                m_output.writeFile(pages, files::OpenFolder::nameOf(content.name + QStringLiteral(".html")),
                                   text.toUtf8() + "\r\n");
            !written)
            m_report.cannotWrite(m_workspace.playPage(content.name), written.failure().reason);
        return;
    }
    // The first episode plays on opening: its web copy, when it has one.
    const page::ClassicAddress copy = page::classicAddressOf(content.firstWebCopy);
    const bool copied = !content.firstWebCopy.isEmpty();
    const QByteArray bytes = m_playPage.filledFileBytes(
        {page::htmlEscaped(content.name),
         page::urlPathPiece(copied ? copy.movieFile : content.relativeFolder),
         copied ? page::urlPathPiece(copy.fileName) : page::fileNameUrlPiece(content.firstEpisode),
         content.buttonList, content.functionList});
    if (const files::Outcome<void> written = m_output.writeFile(
            pages, files::OpenFolder::nameOf(content.name + QStringLiteral(".html")), bytes);
        !written)
        m_report.cannotWrite(m_workspace.playPage(content.name), written.failure().reason);
}

} // namespace tessaly
