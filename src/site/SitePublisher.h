#pragma once

#include "files/OpenFolder.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

namespace tessaly {

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
// The site folder may hold files of others: publishing keeps a record of
// the files it put there (`published::read`), enters the files to come in
// it before they are renamed into place, and removes as stale only what the
// record names. A site published before there was a record loses, once,
// only the pages and covers of projects that have a settings file. An
// `index.html` that is not the program's is left as it is.
//
// Nothing outside the site folder is written, replaced or removed: `Data`,
// `Image` and `Subtitle` are opened once and refused when a link takes them
// out of the site folder, a project's folder in `Subtitle` is used only
// when it is a folder itself, and a link where a file should go is
// replaced, never written through.
class SitePublisher
{
public:
    SitePublisher(const Workspace &workspace, RunReport &report);

    // Index page, play pages, covers and the projects' subtitle tracks,
    // read from the run's open output folders (one that could not be opened
    // is left out: the run reported it); removes stale pages, covers and
    // tracks, but not the pages and covers the run could not write anew.
    // True when the site folder was connected.
    bool publishWholeSite(const OutputFolders &output);
    // Only the named project's play page, cover and tracks.
    bool publishProject(const QString &name, const OutputFolders &output);

    // Called after each change to the site folder (the record written, a
    // file renamed into place or removed), for tests that stop the program
    // there.
    void setCheckpoint(std::function<void()> checkpoint) { m_checkpoint = std::move(checkpoint); }

    // What publishing put there before this run: the record, or for a site
    // without one the pages and covers of projects with a settings file.
    QSet<QByteArray> earlierEntries(const std::optional<QSet<QByteArray>> &record,
                                    const files::OpenFolder &siteData,
                                    const files::OpenFolder &siteImage) const;

private:
    // The connection lines; the site folder, or empty to stop.
    QString connect();
    // A publishing folder of the site folder, made when missing if `create`
    // is set (otherwise a missing one is not open, without a line); a
    // folder that cannot be opened is a failure line.
    files::OpenFolder siteFolder(const files::OpenFolder &site, const QString &name, bool create);
    // As `siteFolder`, refused when it is one of the `others` itself.
    files::OpenFolder siteFolderApart(const files::OpenFolder &site, const QString &name, bool create,
                                      std::initializer_list<const files::OpenFolder *> others);
    // Whether the site's `index.html` may be replaced.
    bool ownsIndexPage(const files::OpenFolder &site, const std::optional<QSet<QByteArray>> &record) const;

    struct Pruned
    {
        QStringList failures;
        QSet<QByteArray> removed;
        QStringList strangers;
    };

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

    // One project's folder of `Subtitle`, in the output and in the site.
    struct SubtitleFolder
    {
        QByteArray project;
        files::OpenFolder from;
        files::Listing sources;
        files::OpenFolder to;
        // Named by the record, no longer in the output: its tracks go.
        bool gone = false;
        QStringList copyFailures;
    };
    // The folders of the projects with tracks, made in the site when
    // missing, and of the others of `recorded`, which are gone.
    void openSubtitleFolders(const files::OpenFolder &webSubtitle, const files::OpenFolder &siteSubtitle,
                             const QList<QByteArray> &projects, const QSet<QByteArray> &recorded);
    // Stages the tracks and enters them.
    void stageSubtitles(QSet<QByteArray> &entries);
    // Removes the stale tracks the earlier record names, and the folders
    // of projects that are gone once empty; the entries follow.
    Pruned pruneSubtitles(const files::OpenFolder &siteSubtitle, const QSet<QByteArray> &earlier,
                          QSet<QByteArray> &entries);
    QStringList subtitleCopyFailures() const;
    // Enters the files to come in the record; when it cannot be written,
    // nothing is renamed into place and the staged files are removed.
    bool record(const files::OpenFolder &site, const QSet<QByteArray> &entries);
    // Syncs the file systems that got files, then renames the files into
    // place; false when the sync failed and nothing was renamed.
    bool commit(QStringList &failures);
    void discardStaged();
    // One more file of the publish dealt with, for the run's progress.
    void countFile();
    void checkpoint() const
    {
        if (m_checkpoint)
            m_checkpoint();
    }

    // Removes the files of `target` that the new site lacks (all of them
    // without a `source`) and that the record names; the others are counted
    // as strangers.
    Pruned prune(const files::OpenFolder *source, const files::OpenFolder &target,
                 const QSet<QByteArray> &keep, const QSet<QByteArray> &ours) const;

    const Workspace &m_workspace;
    RunReport &m_report;
    std::vector<Staged> m_staged;
    // Held apart, as staged files point into them.
    std::vector<std::unique_ptr<SubtitleFolder>> m_subtitleFolders;
    std::function<void()> m_checkpoint;
    int m_filesDone = 0;
    int m_filesToPublish = 0;
};

} // namespace tessaly
