#include "site/SiteGeneration.h"

#include "app/Workspace.h"
#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "files/TextFile.h"
#include "platform/Messages.h"
#include "settings/SettingsFiles.h"
#include "site/OutputFolders.h"
#include "site/Placeholders.h"
#include "site/ProjectPages.h"
#include "site/SitePublisher.h"
#include "site/Style.h"

namespace tessaly {

namespace {

QString movieRootOf(const Workspace &workspace)
{
    if (!files::plainFileExists(workspace.settingsFile()))
        return {};
    return SiteSettings::read(workspace).movieRoot();
}

QString noContentText()
{
    return QStringLiteral("没有内容!");
}

void deleteIfPresent(const files::OpenFolder &folder, const QByteArray &name, RunReport &report)
{
    if (!folder.holdsEntry(name))
        return;
    QString reason;
    if (!folder.remove(name, &reason))
        report.cannotDelete(folder.pathOf(name), reason);
}

} // namespace

SiteGeneration::SiteGeneration(const Workspace &workspace, const ProjectList &projects,
                               const WorkingTemplates &templates, ProgressSink &sink)
    : m_workspace(workspace), m_projects(projects), m_templates(templates), m_sink(sink)
{}

void SiteGeneration::clearCache(const OutputFolders &output, RunReport &report)
{
    output.removeTemporaries();
    deleteIfPresent(output.web(), QByteArrayLiteral("index.html"), report);
    if (!output.data().isOpen())
        return;
    const files::Listing pages = output.data().listFiles();
    if (!pages.ok()) {
        report.cannotRead(m_workspace.webData(), pages.error);
        return;
    }
    for (const QByteArray &page : pages.encodedEntries)
        deleteIfPresent(output.data(), page, report);
}

RunOutcome SiteGeneration::run()
{
    const QString movieRoot = movieRootOf(m_workspace);
    if (m_projects.size() == 0) {
        Messages::error(noContentText());
        return {true, 0, {}};
    }

    m_sink.beginWholeSiteRun();
    RunReport report(m_sink);
    report.step(QStringLiteral("读取页面格式文件..."), ProgressIcon::Opening);
    report.step(QStringLiteral("清空缓存数据..."));
    const OutputFolders output(m_workspace, report);
    clearCache(output, report);

    ProjectPages pages(m_workspace, output, m_templates, movieRoot, report, ProjectPages::Lines::WholeSite);
    QStringList cells;
    cells.reserve(m_projects.size());
    int rowCounter = 0;
    for (const QString &name : m_projects.names()) {
        if (!isUsableProjectName(name)) {
            report.step(QStringLiteral("读取") + name + QStringLiteral("文件路径..."));
            report.unusableName(name);
            continue;
        }
        const ProjectContent content = pages.read(name);
        QString cell = pages.coverCell(content);
        if (++rowCounter == m_templates.cellsPerRow) {
            cell += QStringLiteral("\r\n") + m_templates.rowBreak;
            rowCounter = 0;
        }
        report.step(QStringLiteral("主页内容处理..."));
        cells.append(cell);
        pages.writePlayPage(content);
    }

    QString index = m_templates.indexPage;
    fillPlaceholder(index, QStringLiteral("[[Text]]"), cells.join(QStringLiteral("\r\n")));
    report.step(QStringLiteral("主页面内容生成..."));
    QString reason;
    if (output.web().isOpen() &&
        !output.web().writeFile(QByteArrayLiteral("index.html"), text::fileBytes(index), &reason))
        report.cannotWrite(m_workspace.indexPage(), reason);
    output.syncToDisk(report);

    if (files::plainFileExists(m_workspace.settingsFile()))
        SitePublisher(m_workspace, report).publishWholeSite(output);
    return RunClosing(m_workspace, report, m_clock).close(RunClosing::Variant::WholeSite);
}

ProjectUpdate::ProjectUpdate(const Workspace &workspace, const ProjectList &projects,
                             const WorkingTemplates &templates, ProgressSink &sink)
    : m_workspace(workspace), m_projects(projects), m_templates(templates), m_sink(sink)
{}

RunOutcome ProjectUpdate::run(int selectedRow)
{
    const QString movieRoot = movieRootOf(m_workspace);
    if (m_projects.size() == 0)
        return {true, 0, {}};
    if (selectedRow < 0 || selectedRow >= m_projects.size()) {
        Messages::error(noContentText());
        return {true, 0, {}};
    }
    const QString selected = m_projects.names().at(selectedRow);

    RunReport report(m_sink);
    report.step(QStringLiteral("读取页面格式文件..."), ProgressIcon::Opening);
    report.step(QStringLiteral("清理缓存数据..."));
    const OutputFolders output(m_workspace, report);
    if (isUsableProjectName(selected))
        deleteIfPresent(output.data(), files::OpenFolder::nameOf(selected + QStringLiteral(".html")), report);

    ProjectPages pages(m_workspace, output, m_templates, movieRoot, report, ProjectPages::Lines::Update);
    for (const QString &name : m_projects.names()) {
        if (!isUsableProjectName(name)) {
            report.step(QStringLiteral("读取") + name + QStringLiteral("文件路径..."));
            report.unusableName(name);
            continue;
        }
        pages.writePlayPage(pages.read(name));
    }
    output.syncToDisk(report);

    if (files::plainFileExists(m_workspace.settingsFile()))
        SitePublisher(m_workspace, report).publishProject(selected, output);
    return RunClosing(m_workspace, report, m_clock).close(RunClosing::Variant::Update);
}

} // namespace tessaly
