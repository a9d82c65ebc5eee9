#include "site/SitePublisher.h"

#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "settings/SettingsFiles.h"
#include "site/OutputFolders.h"
#include "site/RunReport.h"
#include "workspace/Workspace.h"

#include <QFileInfo>
#include <QSet>

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

QString sameAsDataText()
{
    return QStringLiteral("与 Data 是同一个文件夹");
}

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

files::OpenFolder SitePublisher::siteFolder(const files::OpenFolder &site, const QString &name)
{
    files::OpenFolder folder = site.subfolder(name, true);
    if (folder.isOutside())
        m_report.cannotWrite(folder.path(), outsideSiteFolderText());
    else if (!folder.isOpen())
        m_report.cannotWrite(folder.path(), folder.error());
    folder.removeTemporaries();
    return folder;
}

files::OpenFolder SitePublisher::siteImageFolder(const files::OpenFolder &site, const files::OpenFolder &data)
{
    files::OpenFolder image = siteFolder(site, QStringLiteral("Image"));
    // Linked to one folder, pages and covers would each be pruned as
    // strangers to the other: the covers are then not published at all.
    if (!image.isSameFolderAs(data))
        return image;
    m_report.cannotWrite(image.path(), sameAsDataText());
    return {};
}

void SitePublisher::countFile()
{
    m_report.progress(++m_filesDone, m_filesToPublish);
}

void SitePublisher::stage(const files::OpenFolder &from, const QByteArray &name, const files::OpenFolder &to,
                          QStringList &failures)
{
    countFile();
    QString reason;
    const std::optional<QByteArray> bytes = from.readFile(name, &reason);
    if (bytes && to.holdsSameBytes(name, *bytes))
        return;
    const std::optional<QByteArray> temporary =
        bytes ? to.writeTemporary(*bytes, name, &reason) : std::nullopt;
    if (!temporary) {
        failures.append(RunReport::copyFailureText(from.pathOf(name), to.pathOf(name), reason));
        return;
    }
    m_staged.push_back({&to, name, *temporary, from.pathOf(name), &failures});
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
        QString reason;
        if (!file.folder->syncFileSystem(&reason)) {
            failures.append(RunReport::failureText("无法写入 ", file.folder->path(), reason));
            for (const Staged &left : m_staged)
                left.folder->remove(left.temporary);
            m_staged.clear();
            return false;
        }
    }
    for (const Staged &file : m_staged) {
        QString reason;
        if (!file.folder->rename(file.temporary, file.name, &reason)) {
            file.failures->append(
                RunReport::copyFailureText(file.source, file.folder->pathOf(file.name), reason));
            file.folder->remove(file.temporary);
        }
    }
    m_staged.clear();
    return true;
}

QStringList SitePublisher::prune(const files::OpenFolder &source, const files::OpenFolder &target,
                                 const QSet<QByteArray> &keep)
{
    QStringList failures;
    const files::Listing sources = source.listFiles();
    const files::Listing present = target.listFiles();
    // Without the list of what belongs, nothing may be called stale.
    if (!sources.ok() || !present.ok())
        return failures;
    const QSet<QByteArray> wanted(sources.encodedEntries.cbegin(), sources.encodedEntries.cend());
    for (const QByteArray &name : present.encodedEntries) {
        QString reason;
        if (!wanted.contains(name) && !keep.contains(name) && !target.remove(name, &reason))
            failures.append(RunReport::failureText("无法删除 ", target.pathOf(name), reason));
    }
    return failures;
}

void SitePublisher::publishWholeSite(const OutputFolders &output)
{
    const QString sitePath = connect();
    if (sitePath.isEmpty())
        return;
    const files::OpenFolder site(sitePath);
    if (!site.isOpen()) {
        m_report.cannotWrite(sitePath, site.error());
        return;
    }
    site.removeTemporaries();
    const files::OpenFolder &web = output.web();
    const files::OpenFolder &webData = output.data();
    const files::OpenFolder &webImage = output.image();
    const files::Listing pageSources = webData.isOpen() ? webData.listFiles() : files::Listing{};
    const files::Listing coverSources = webImage.isOpen() ? webImage.listFiles() : files::Listing{};
    m_filesToPublish = 1 + int(pageSources.encodedEntries.size()) + int(coverSources.encodedEntries.size());
    m_report.progress(0, m_filesToPublish);

    QStringList indexFailures;
    stage(web, QByteArrayLiteral("index.html"), site, indexFailures);
    m_report.step(QStringLiteral("主页更新完成"));

    const files::OpenFolder siteData = siteFolder(site, QStringLiteral("Data"));
    const files::OpenFolder siteImage = siteImageFolder(site, siteData);
    QStringList pageCopyFailures;
    QStringList coverCopyFailures;
    const auto stageAll = [this](const files::OpenFolder &from, const files::Listing &sources,
                                 const files::OpenFolder &to, QStringList &failures) {
        if (!from.isOpen() || !to.isOpen())
            return;
        if (!sources.ok()) {
            failures.append(RunReport::failureText("无法读取 ", from.path(), sources.error));
            return;
        }
        for (const QByteArray &name : sources.encodedEntries)
            stage(from, name, to, failures);
    };
    stageAll(webData, pageSources, siteData, pageCopyFailures);
    stageAll(webImage, coverSources, siteImage, coverCopyFailures);

    QStringList syncFailures;
    QStringList pageDeleteFailures;
    QStringList coverDeleteFailures;
    if (commit(syncFailures)) {
        if (webData.isOpen() && siteData.isOpen())
            pageDeleteFailures = prune(webData, siteData, output.unwrittenPages());
        if (webImage.isOpen() && siteImage.isOpen())
            coverDeleteFailures = prune(webImage, siteImage, output.unwrittenCovers());
    }

    // The lines keep the order of a clear-then-copy publish, each failure
    // right after the line of its step.
    const auto stepWithFailures = [this](const char *line, const QStringList &failures) {
        if (line)
            m_report.step(QString::fromUtf8(line));
        for (const QString &failure : failures)
            m_report.failure(failure);
    };
    stepWithFailures(nullptr, indexFailures);
    stepWithFailures(nullptr, syncFailures);
    stepWithFailures("清空播放页内容", pageDeleteFailures);
    stepWithFailures("清空封面图片内容", coverDeleteFailures);
    stepWithFailures("播放页内容更新", pageCopyFailures);
    stepWithFailures("封面内容更新", coverCopyFailures);
    m_report.step(QStringLiteral("站点内容更新完成"), ProgressIcon::Done);
}

void SitePublisher::publishProject(const QString &name, const OutputFolders &output)
{
    const QString sitePath = connect();
    if (sitePath.isEmpty())
        return;
    const files::OpenFolder site(sitePath);
    if (!site.isOpen()) {
        m_report.cannotWrite(sitePath, site.error());
        return;
    }
    const files::OpenFolder siteData = siteFolder(site, QStringLiteral("Data"));
    const files::OpenFolder siteImage = siteImageFolder(site, siteData);
    const files::OpenFolder &webData = output.data();
    const files::OpenFolder &webImage = output.image();
    m_filesToPublish = 2;
    m_report.progress(0, m_filesToPublish);
    const bool usable = isUsableProjectName(name);

    QStringList pageFailures;
    QStringList coverFailures;
    if (usable && webData.isOpen() && siteData.isOpen())
        stage(webData, files::OpenFolder::nameOf(name + QStringLiteral(".html")), siteData, pageFailures);
    if (usable && webImage.isOpen() && siteImage.isOpen())
        stage(webImage, files::OpenFolder::nameOf(name + QStringLiteral(".jpg")), siteImage, coverFailures);
    QStringList syncFailures;
    commit(syncFailures);
    for (const QString &failure : syncFailures)
        m_report.failure(failure);

    m_report.step(QStringLiteral("播放页内容更新"));
    if (!usable)
        m_report.unusableName(name);
    for (const QString &failure : pageFailures)
        m_report.failure(failure);
    m_report.step(QStringLiteral("封面内容更新"));
    for (const QString &failure : coverFailures)
        m_report.failure(failure);
    m_report.step(QStringLiteral("站点 - ") + name + QStringLiteral("页面更新完成"), ProgressIcon::Done);
}

} // namespace tessaly
