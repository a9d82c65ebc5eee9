#pragma once

#include <QString>
#include <QStringList>

namespace tessaly {

class RunReport;
class Workspace;
struct SiteSettings;

// The publish step: mirrors the output folder into the site folder when
// `WebUpdate` is "True". New and changed files are copied first (each under
// a temporary name, then renamed into place), stale ones removed after, and
// a file whose bytes are already there is left alone, so the site is never
// emptier than it was, not even for a moment.
class SitePublisher
{
public:
    SitePublisher(const Workspace &workspace, RunReport &report);

    // Index page, play pages and covers; removes stale pages and covers.
    void publishWholeSite();
    // Only the named project's play page and cover.
    void publishProject(const QString &name);

private:
    // Steps 1 to 4 of both variants; the site folder, or empty to stop.
    QString connect();
    bool ensureFolder(const QString &folder);

    struct Mirror
    {
        QStringList copyFailures;
        QStringList deleteFailures;
    };
    Mirror mirrorFolder(const QString &source, const QString &target);
    bool copyIfChanged(const QString &source, const QString &target, QStringList &failures);
    // One more file of the publish dealt with, for the run's progress.
    void countFile();

    const Workspace &m_workspace;
    RunReport &m_report;
    int m_filesDone = 0;
    int m_filesToPublish = 0;
};

} // namespace tessaly
