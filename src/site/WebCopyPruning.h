#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

namespace tessaly {

namespace files {
class OpenFolder;
}
class RunReport;

// The web copies a whole-site run keeps: gathered as the run lists each
// project's episodes, then applied after publishing. A copy whose original
// is no longer an episode of any project is removed, through the
// publishing record only: nothing in `Video` the record does not name is
// ever touched. Copies of a project whose episodes could not be listed (a
// disk not mounted) stay, and a project whose folder is not known at all
// keeps every copy for this run.
class WebCopyPruning
{
public:
    // Where the site has no `Video` folder there are no copies to keep,
    // and the episodes of the run are not kept for them either.
    WebCopyPruning(QString movieRoot, const QString &siteFolder);

    // The episodes the run listed for the project.
    void keepEpisodes(const QString &project, const QString &episodeFolder, const QStringList &episodes);
    // A project whose episode folder could not be listed.
    void keepFolder(const QString &project, const QString &episodeFolder);
    // A project whose episode folder is not known.
    void keepEverything() { m_keepEverything = true; }

    // Removes the stale copies the site's record names, with a line for each
    // (a failure line when one cannot be removed, which stays recorded), and
    // takes the removed and the vanished out of the record.
    void prune(const files::OpenFolder &site, RunReport &report) const;

private:
    struct Listed
    {
        QString project;
        QString episodeFolder;
        QStringList episodes;
        bool whole = true; // false for a folder that could not be listed
    };

    // The record entries of the copies to keep, among the recorded ones:
    // worked out only where the record names copies, as most sites have
    // none and a run lists every episode.
    QSet<QByteArray> keptEntries(const QSet<QByteArray> &recordedFolders,
                                 QSet<QByteArray> &keptFolders) const;

    QString m_movieRoot;
    QList<Listed> m_listed;
    bool m_copiesThere;
    bool m_keepEverything = false;
};

} // namespace tessaly
