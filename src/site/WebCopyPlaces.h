#pragma once

#include "files/Outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace tessaly {

namespace files {
class OpenFolder;
}

// Where the web copy of an episode lies in the site folder: below `Video`,
// in the episode's folder relative to the movie root, under the episode's
// whole file name with ".mp4" ("第1集.mkv" → "第1集.mkv.mp4", so that
// "a.mkv" and "a.avi" never share a copy). The copy of an episode whose
// folder is not below the movie root lies in "_项目/<project>" instead: no
// absolute path ever names a folder of the site.
struct WebCopyPlace
{
    QStringList folders; // below `Video`, outermost first
    QString fileName;

    // "Video/a/b/x.mkv.mp4": relative to the site folder, "/" between the
    // parts, not URL-encoded.
    QString relativePath() const;
    // The same as publishing's record names it.
    QByteArray entry() const;
};

namespace webcopy {

// "Video"
QString videoFolderName();

// The place of the copy of `episode` (a file name of the project's episode
// folder); nothing when a part of it cannot name a folder or file of the
// site (an empty part, ".", "..", a hidden name, a control character, a
// backslash, a name too long): a failure without a path, whose reason
// names the part.
// "Video/a/b" for the folders "a" and "b" below `Video`.
QString folderPath(const QStringList &folders);
// The folders below `Video` of the copies of a project's episodes, as
// `placeOf` gives them.
files::Outcome<QStringList> foldersOf(const QString &movieRoot, const QString &project,
                                      const QString &episodeFolder);
files::Outcome<WebCopyPlace> placeOf(const QString &movieRoot, const QString &project,
                                     const QString &episodeFolder, const QString &episode);

// The folder of the place's copy, opened from the open `Video` folder one
// part at a time, each a folder itself and never a link, and made when
// `create` is set: nothing written there can land outside `Video`.
files::OpenFolder openFolderOf(const files::OpenFolder &video, const WebCopyPlace &place, bool create);

// True when the site folder is the movie root or lies below it, by its path
// or by what the folders are: copies written there would go among the
// user's own films.
bool siteLiesInMovies(const QString &siteFolder, const QString &movieRoot);

} // namespace webcopy

// The web copies a run links: an episode's copy when the site folder holds
// one made from the episode as it is now; never a stale or missing one.
// Asked from one thread at a time.
class WebCopyLinks
{
public:
    WebCopyLinks() = default;
    WebCopyLinks(QString siteFolder, QString movieRoot);

    // The copy's path relative to the site folder (see
    // `WebCopyPlace::relativePath`), or empty.
    QString upToDateCopy(const QString &project, const QString &episodeFolder, const QString &episode) const;
    // The same for the file name's bytes, decoded only where copies lie.
    QString upToDateCopy(const QString &project, const QString &episodeFolder,
                         const QByteArray &episode) const;

private:
    // Whether the project's folder of copies is there; remembered for the
    // last episode folder, as a run asks about one folder's episodes in turn.
    bool copiesMayLie(const QString &project, const QString &episodeFolder) const;

    QString m_siteFolder;
    QString m_movieRoot;
    // The last episode folder asked about and its folder of copies.
    mutable QString m_lastProject;
    mutable QString m_lastEpisodeFolder;
    mutable QString m_copyFolder;
    mutable bool m_copyFolderThere = false;
};

} // namespace tessaly
