#include "site/SitePublisher.h"

#include "app/Workspace.h"
#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "settings/SettingsFiles.h"
#include "site/RunReport.h"

#include <QFileInfo>
#include <QSet>

namespace tessaly {

namespace {

bool sameFolder(const QString &first, const QString &second)
{
    const QString a = QFileInfo(first).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(second).canonicalFilePath();
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

bool SitePublisher::ensureFolder(const QString &folder)
{
    if (files::folderExists(folder))
        return true;
    QString reason;
    if (files::makeFolder(folder, &reason))
        return true;
    m_report.cannotWrite(folder, reason);
    return false;
}

void SitePublisher::countFile()
{
    m_report.progress(++m_filesDone, m_filesToPublish);
}

bool SitePublisher::copyIfChanged(const QString &source, const QString &target, QStringList &failures)
{
    countFile();
    if (files::sameContents(source, target))
        return true;
    QString reason;
    if (files::copyFileReplacing(source, target, &reason))
        return true;
    failures.append(RunReport::copyFailureText(source, target, reason));
    return false;
}

SitePublisher::Mirror SitePublisher::mirrorFolder(const QString &source, const QString &target)
{
    Mirror mirror;
    const files::Listing sources = files::listFiles(source);
    if (!sources.ok()) {
        // Without the list of what belongs, nothing may be called stale.
        mirror.copyFailures.append(RunReport::failureText("无法读取 ", source, sources.error));
        return mirror;
    }
    for (const QString &name : sources.entries)
        copyIfChanged(files::joinPath(source, name), files::joinPath(target, name), mirror.copyFailures);

    const files::Listing present = files::listFiles(target);
    if (!present.ok()) {
        mirror.deleteFailures.append(RunReport::failureText("无法读取 ", target, present.error));
        return mirror;
    }
    const QSet<QString> wanted(sources.entries.cbegin(), sources.entries.cend());
    for (const QString &name : present.entries) {
        if (wanted.contains(name))
            continue;
        const QString stale = files::joinPath(target, name);
        QString reason;
        if (!files::deleteFile(stale, &reason))
            mirror.deleteFailures.append(RunReport::failureText("无法删除 ", stale, reason));
    }
    return mirror;
}

void SitePublisher::publishWholeSite()
{
    const QString site = connect();
    if (site.isEmpty())
        return;
    m_filesToPublish = 1 + int(files::listFiles(m_workspace.webData()).entries.size()) +
                       int(files::listFiles(m_workspace.webImage()).entries.size());
    m_report.progress(0, m_filesToPublish);

    QStringList indexFailures;
    copyIfChanged(m_workspace.indexPage(), files::joinPath(site, QStringLiteral("index.html")),
                  indexFailures);
    m_report.step(QStringLiteral("主页更新完成"));
    for (const QString &failure : indexFailures)
        m_report.failure(failure);

    const QString siteData = files::joinPath(site, QStringLiteral("Data"));
    const QString siteImage = files::joinPath(site, QStringLiteral("Image"));
    const bool haveData = ensureFolder(siteData);
    const bool haveImage = ensureFolder(siteImage);
    const Mirror pages = haveData ? mirrorFolder(m_workspace.webData(), siteData) : Mirror{};
    const Mirror covers = haveImage ? mirrorFolder(m_workspace.webImage(), siteImage) : Mirror{};

    // The lines keep the order of a clear-then-copy publish, each failure
    // right after the line of its step.
    const auto stepWithFailures = [this](const char *line, const QStringList &failures) {
        m_report.step(QString::fromUtf8(line));
        for (const QString &failure : failures)
            m_report.failure(failure);
    };
    stepWithFailures("清空播放页内容", pages.deleteFailures);
    stepWithFailures("清空封面图片内容", covers.deleteFailures);
    stepWithFailures("播放页内容更新", pages.copyFailures);
    stepWithFailures("封面内容更新", covers.copyFailures);
    m_report.step(QStringLiteral("站点内容更新完成"), ProgressIcon::Done);
}

void SitePublisher::publishProject(const QString &name)
{
    const QString site = connect();
    if (site.isEmpty())
        return;
    m_filesToPublish = 2;
    m_report.progress(0, m_filesToPublish);

    const QString siteData = files::joinPath(site, QStringLiteral("Data"));
    const QString siteImage = files::joinPath(site, QStringLiteral("Image"));
    const bool haveData = ensureFolder(siteData);
    const bool haveImage = ensureFolder(siteImage);
    const bool usable = isUsableProjectName(name);

    m_report.step(QStringLiteral("播放页内容更新"));
    if (!usable) {
        m_report.unusableName(name);
    } else if (haveData) {
        QStringList failures;
        copyIfChanged(m_workspace.playPage(name), files::joinPath(siteData, name + QStringLiteral(".html")),
                      failures);
        for (const QString &failure : failures)
            m_report.failure(failure);
    }
    m_report.step(QStringLiteral("封面内容更新"));
    if (usable && haveImage) {
        QStringList failures;
        copyIfChanged(m_workspace.coverFile(name), files::joinPath(siteImage, name + QStringLiteral(".jpg")),
                      failures);
        for (const QString &failure : failures)
            m_report.failure(failure);
    }
    m_report.step(QStringLiteral("站点 - ") + name + QStringLiteral("页面更新完成"), ProgressIcon::Done);
}

} // namespace tessaly
