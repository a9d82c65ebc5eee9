#include "site/WebCopyPruning.h"

#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "site/PublishedRecord.h"
#include "site/RunReport.h"
#include "site/WebCopyPlaces.h"
#include "site/WebCopyTexts.h"

#include <QFile>
#include <QList>
#include <algorithm>

namespace tessaly {

WebCopyPruning::WebCopyPruning(QString movieRoot, const QString &siteFolder)
    : m_movieRoot(std::move(movieRoot)),
      m_copiesThere(!siteFolder.isEmpty() &&
                    files::folderExists(files::joinPath(siteFolder, webcopy::videoFolderName())))
{}

void WebCopyPruning::keepEpisodes(const QString &project, const QString &episodeFolder,
                                  const QStringList &episodes)
{
    if (m_copiesThere)
        m_listed.append({project, episodeFolder, episodes, true});
}

void WebCopyPruning::keepFolder(const QString &project, const QString &episodeFolder)
{
    if (m_copiesThere)
        m_listed.append({project, episodeFolder, {}, false});
}

QSet<QByteArray> WebCopyPruning::keptEntries(const QSet<QByteArray> &recordedFolders,
                                             QSet<QByteArray> &keptFolders) const
{
    QSet<QByteArray> kept;
    for (const Listed &listed : m_listed) {
        const auto folders = webcopy::foldersOf(m_movieRoot, listed.project, listed.episodeFolder);
        if (!folders)
            continue;
        const QByteArray folder = files::OpenFolder::nameOf(webcopy::folderPath(*folders)) + '/';
        if (!recordedFolders.contains(folder))
            continue;
        if (!listed.whole) {
            keptFolders.insert(folder);
            continue;
        }
        for (const QString &episode : listed.episodes) {
            if (const auto place =
                    webcopy::placeOf(m_movieRoot, listed.project, listed.episodeFolder, episode))
                kept.insert(place->entry());
        }
    }
    return kept;
}

void WebCopyPruning::prune(const files::OpenFolder &site, RunReport &report) const
{
    if (m_keepEverything)
        return;
    const std::optional<QSet<QByteArray>> record = published::read(site);
    if (!record)
        return;
    const QByteArray videoPrefix = files::OpenFolder::nameOf(webcopy::videoFolderName()) + '/';
    QSet<QByteArray> recordedFolders;
    for (const QByteArray &entry : *record) {
        if (entry.startsWith(videoPrefix))
            recordedFolders.insert(entry.first(entry.lastIndexOf('/') + 1));
    }
    if (recordedFolders.isEmpty())
        return;
    QSet<QByteArray> keptFolders;
    const QSet<QByteArray> kept = keptEntries(recordedFolders, keptFolders);
    QList<QByteArray> stale;
    for (const QByteArray &entry : *record) {
        if (entry.startsWith(videoPrefix) && !kept.contains(entry) &&
            !keptFolders.contains(entry.first(entry.lastIndexOf('/') + 1)))
            stale.append(entry);
    }
    if (stale.isEmpty())
        return;
    std::sort(stale.begin(), stale.end());

    // Without `Video` the copies are gone; one that cannot be opened keeps them.
    const QString videoName = webcopy::videoFolderName();
    const bool videoThere = site.holdsName(files::OpenFolder::nameOf(videoName));
    const files::OpenFolder video = videoThere ? site.plainSubfolder(videoName, false) : files::OpenFolder();
    if (videoThere && !video.isOpen()) {
        report.cannotDelete(video.path(), video.error());
        return;
    }
    QSet<QByteArray> entries = *record;
    for (const QByteArray &entry : std::as_const(stale)) {
        QList<QByteArray> parts = entry.split('/');
        const QByteArray name = parts.takeLast();
        // Walked as the copy was written: through folders, never links.
        files::OpenFolder folder = video.duplicate();
        for (qsizetype i = 1; i < parts.size() && folder.isOpen(); ++i) {
            if (!folder.holdsName(parts.at(i))) {
                folder = {};
                break;
            }
            folder = folder.plainSubfolder(QFile::decodeName(parts.at(i)), false);
        }
        const QString path = site.pathOf(entry);
        if (!folder.isOpen() && !folder.error().isEmpty()) {
            report.cannotDelete(path, folder.error());
            continue;
        }
        if (folder.isOpen() && folder.holdsEntry(name)) {
            if (const files::Outcome<void> removed = folder.remove(name); !removed) {
                report.cannotDelete(path, removed.failure().reason);
                continue;
            }
            report.step(webcopy::texts::removedCopy(path));
        }
        entries.remove(entry);
    }
    if (const files::Outcome<void> written = published::write(site, entries); !written)
        report.cannotWrite(written.failure().path, written.failure().reason);
}

} // namespace tessaly
