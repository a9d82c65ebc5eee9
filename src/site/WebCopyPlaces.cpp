#include "site/WebCopyPlaces.h"

#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "media/WebCopy.h"
#include "site/PublishedRecord.h"
#include "site/WebCopyTexts.h"

#include <QDir>

namespace tessaly {

namespace {

// The folder below `Video` of the copies of projects outside the movie root.
const QString outsideFolder = QStringLiteral("_项目");

// The episode folder's parts below the movie root; nothing when it does
// not lie below it. Judged by the paths as written, as the pages' links are.
std::optional<QStringList> partsBelowRoot(const QString &episodeFolder, const QString &movieRoot)
{
    const QString root = files::withoutTrailingSeparators(movieRoot);
    const QString folder = files::withoutTrailingSeparators(episodeFolder);
    if (root.isEmpty() || !root.startsWith(u'/'))
        return std::nullopt;
    if (folder == root)
        return QStringList();
    const QString prefix = root == QLatin1String("/") ? root : root + u'/';
    if (!folder.startsWith(prefix))
        return std::nullopt;
    return folder.sliced(prefix.size()).split(u'/');
}

} // namespace

QString WebCopyPlace::relativePath() const
{
    QStringList parts{webcopy::videoFolderName()};
    parts += folders;
    parts.append(fileName);
    return parts.join(u'/');
}

QByteArray WebCopyPlace::entry() const
{
    return files::OpenFolder::nameOf(relativePath());
}

namespace webcopy {

QString videoFolderName()
{
    return QStringLiteral("Video");
}

std::optional<WebCopyPlace> placeOf(const QString &movieRoot, const QString &project,
                                    const QString &episodeFolder, const QString &episode, QString *reason)
{
    WebCopyPlace place;
    place.folders = partsBelowRoot(episodeFolder, movieRoot).value_or(QStringList{outsideFolder, project});
    place.fileName = episode + QStringLiteral(".mp4");
    for (const QString &part : place.folders + QStringList{place.fileName}) {
        if (!published::isUsableFileName(files::OpenFolder::nameOf(part))) {
            if (reason)
                *reason = texts::unusableName(part);
            return std::nullopt;
        }
    }
    return place;
}

files::OpenFolder openFolderOf(const files::OpenFolder &video, const WebCopyPlace &place, bool create)
{
    files::OpenFolder folder = video.duplicate();
    for (qsizetype i = 0; i < place.folders.size() && folder.isOpen(); ++i)
        folder = folder.plainSubfolder(place.folders.at(i), create);
    return folder;
}

bool siteLiesInMovies(const QString &siteFolder, const QString &movieRoot)
{
    const QString root = files::withoutTrailingSeparators(movieRoot);
    if (root.isEmpty())
        return false;
    const QString site = QDir::cleanPath(siteFolder);
    const QString cleanRoot = QDir::cleanPath(root);
    if (site == cleanRoot || site.startsWith(cleanRoot == QLatin1String("/") ? cleanRoot : cleanRoot + u'/'))
        return true;
    const files::OpenFolder openSite(siteFolder);
    const files::OpenFolder openRoot(root);
    return openSite.liesWithin(openRoot);
}

} // namespace webcopy

WebCopyLinks::WebCopyLinks(QString siteFolder, QString movieRoot)
    : m_siteFolder(std::move(siteFolder)), m_movieRoot(std::move(movieRoot))
{}

QString WebCopyLinks::upToDateCopy(const QString &project, const QString &episodeFolder,
                                   const QString &episode) const
{
    if (m_siteFolder.isEmpty())
        return {};
    const std::optional<WebCopyPlace> place = webcopy::placeOf(m_movieRoot, project, episodeFolder, episode);
    if (!place)
        return {};
    const QString relative = place->relativePath();
    const QString copy = files::joinPath(m_siteFolder, relative);
    // Most episodes have no copy: a look at the name spares reading one.
    if (!files::plainFileExists(copy) || !media::isUpToDate(copy, files::joinPath(episodeFolder, episode)))
        return {};
    return relative;
}

} // namespace tessaly
