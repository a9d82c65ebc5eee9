#include "site/ProjectPages.h"

#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "files/TextFile.h"
#include "settings/IniFile.h"
#include "settings/SettingsFiles.h"
#include "site/DefaultCover.h"
#include "site/OutputFolders.h"
#include "site/PageValues.h"
#include "site/Placeholders.h"
#include "site/RunReport.h"
#include "site/Style.h"
#include "workspace/Workspace.h"

namespace tessaly {

ProjectPages::ProjectPages(const Workspace &workspace, const OutputFolders &output,
                           const WorkingTemplates &templates, const QString &movieRoot, RunReport &report,
                           Lines lines)
    : m_workspace(workspace), m_output(output), m_templates(templates), m_movieRoot(movieRoot),
      m_report(report), m_lines(lines),
      m_function(templates.function, {QStringLiteral("[[MovieFile]]"), QStringLiteral("[[MovieName]]"),
                                      QStringLiteral("[[Title]]"), QStringLiteral("[[MovieName2]]"),
                                      QStringLiteral("[[SerialNumber]]")}),
      m_button(templates.button, {QStringLiteral("[[SerialNumber]]"), QStringLiteral("[[MovieName2]]")}),
      m_coverCell(templates.coverCell, {QStringLiteral("[[Title]]"), QStringLiteral("[[Number]]")}),
      m_playPage(templates.playPage, {QStringLiteral("[[Title]]"), QStringLiteral("[[MovieFile]]"),
                                      QStringLiteral("[[DefaultMovie]]"), QStringLiteral("[[ButtonList]]"),
                                      QStringLiteral("[[FunctionList]]")})
{}

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
            bool missing = false;
            QString reason;
            const std::optional<QByteArray> bytes = files::readPlainFile(settingsFile, &missing, &reason);
            const std::optional<QString> content = bytes ? text::decode(*bytes) : std::nullopt;
            if (content)
                source.episodeFolder = ini::valueIn(*content, section, key);
            else if (bytes)
                source.unreadableReason = text::undecodableReason();
            else if (!missing)
                source.unreadableReason = reason;
            // Kept only for the failure line: a run may have a hundred
            // thousand projects.
            if (!source.unreadableReason.isEmpty())
                source.settingsFile = settingsFile;
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
    if (!folder.isEmpty())
        listEpisodes(folder, content);
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
    QString reason;
    if (!m_output.writeFile(covers, fileName, bytes, &reason))
        m_report.cannotWrite(m_workspace.coverFile(name), reason);
}

void ProjectPages::listEpisodes(const QString &folder, ProjectContent &content)
{
    bool isFolder = false;
    const files::Listing listing = files::listFilesIfFolder(folder, &isFolder);
    if (!isFolder)
        return;
    if (!listing.ok()) {
        m_report.cannotRead(folder, listing.error);
        return;
    }
    const QStringList &episodes = listing.entries;
    if (!episodes.isEmpty())
        content.firstEpisode = listing.encodedEntries.first();
    if (m_lines == Lines::WholeSite)
        m_report.step(QStringLiteral("正在生成") + content.name + QStringLiteral("..."),
                      ProgressIcon::EpisodeList);

    // Values are escaped for the place they land in: URL pieces and HTML
    // text inside a script string in the script, HTML text in the button.
    const QString folderInScript = page::scriptEscaped(page::urlPathPiece(content.relativeFolder));
    const QString titleInScript = page::scriptEscaped(page::htmlEscaped(content.name));
    const QString crLf = QStringLiteral("\r\n");
    int number = 0;
    for (const QString &episode : episodes) {
        const QByteArray &encodedEpisode = listing.encodedEntries.at(number);
        const QString serial = QString::number(++number);
        const QString shortName = page::htmlEscaped(page::nameWithoutExtension(episode));
        if (number > 1) {
            content.functionList.append(crLf);
            content.buttonList.append(crLf);
        }
        m_function.appendFilled(content.functionList,
                                {folderInScript,
                                 page::scriptEscaped(page::fileNameUrlPiece(encodedEpisode, episode)),
                                 titleInScript, page::scriptEscaped(shortName), serial});
        m_button.appendFilled(content.buttonList, {serial, shortName});
        content.episodeFiles.append(files::joinPath(folder, episode));
    }
    content.episodeCount = QString::number(episodes.size());
}

QString ProjectPages::coverCell(const ProjectContent &content) const
{
    return m_coverCell.filled({page::htmlEscaped(content.name), content.episodeCount});
}

void ProjectPages::writePlayPage(const ProjectContent &content)
{
    m_report.step(QStringLiteral("影片") + content.name + QStringLiteral("播放页面内容生成..."));
    const files::OpenFolder &pages = m_output.data();
    if (!pages.isOpen())
        return;
    const QByteArray bytes = m_playPage.filledFileBytes(
        {page::htmlEscaped(content.name), page::urlPathPiece(content.relativeFolder),
         page::fileNameUrlPiece(content.firstEpisode), content.buttonList, content.functionList});
    QString reason;
    if (!m_output.writeFile(pages, files::OpenFolder::nameOf(content.name + QStringLiteral(".html")), bytes,
                            &reason))
        m_report.cannotWrite(m_workspace.playPage(content.name), reason);
}

} // namespace tessaly
