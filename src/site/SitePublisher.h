#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

namespace tessaly {

namespace files {
class OpenFolder;
}
class OutputFolders;
class RunReport;
class Workspace;
struct SiteSettings;

// The publish step: mirrors the output folder into the site folder when
// `WebUpdate` is "True". Each new or changed file is written under a short
// hidden temporary name beside its target; the file system is synced once,
// then the files are renamed into place, and only then are stale ones
// removed, so the site is never emptier than it was, not even for a moment,
// and a file whose bytes are already there is left alone.
//
// Nothing outside the site folder is written, replaced or removed: `Data`
// and `Image` are opened once and refused when a link takes them out of
// the site folder, and a link where a file should go is replaced, never
// written through.
class SitePublisher
{
public:
    SitePublisher(const Workspace &workspace, RunReport &report);

    // Index page, play pages and covers, read from the run's open output
    // folders (one that could not be opened is left out: the run reported
    // it); removes stale pages and covers, but not those the run could not
    // write anew.
    void publishWholeSite(const OutputFolders &output);
    // Only the named project's play page and cover.
    void publishProject(const QString &name, const OutputFolders &output);

private:
    // The connection lines; the site folder, or empty to stop.
    QString connect();
    // `Data` or `Image` of the site folder, made when missing; a folder that
    // cannot be opened is a failure line.
    files::OpenFolder siteFolder(const files::OpenFolder &site, const QString &name);
    // `Image`, as `siteFolder` opens it, refused when it is `data` itself.
    files::OpenFolder siteImageFolder(const files::OpenFolder &site, const files::OpenFolder &data);

    // A new or changed file waiting under its temporary name.
    struct Staged
    {
        const files::OpenFolder *folder;
        QByteArray name;
        QByteArray temporary;
        QString source;
        QStringList *failures;
    };
    void stage(const files::OpenFolder &from, const QByteArray &name, const files::OpenFolder &to,
               QStringList &failures);
    // Syncs the file systems that got files, then renames the files into
    // place; false when the sync failed and nothing was renamed.
    bool commit(QStringList &failures);
    // One more file of the publish dealt with, for the run's progress.
    void countFile();
    static QStringList prune(const files::OpenFolder &source, const files::OpenFolder &target,
                             const QSet<QByteArray> &keep);

    const Workspace &m_workspace;
    RunReport &m_report;
    std::vector<Staged> m_staged;
    int m_filesDone = 0;
    int m_filesToPublish = 0;
};

} // namespace tessaly
