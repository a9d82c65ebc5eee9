#include "site/WebCopyPlaces.h"

#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "media/WebCopy.h"
#include "site/PublishedRecord.h"
#include "site/WebCopyTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

std::optional<files::Failure> unusablePart(const QString &part)
{
    if (published::isUsableFileName(files::OpenFolder::nameOf(part)))
        return std::nullopt;
    return files::Failure{{}, webcopy::texts::unusableName(part)};
}

} // namespace

QString WebCopyPlace::relativePath() const
{
    return webcopy::folderPath(folders) + u'/' + fileName;
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

QString folderPath(const QStringList &folders)
{
    return (QStringList{videoFolderName()} + folders).join(u'/');
}

files::Outcome<QStringList> foldersOf(const QString &movieRoot, const QString &project,
                                      const QString &episodeFolder)
{
    QStringList folders =
        partsBelowRoot(episodeFolder, movieRoot).value_or(QStringList{outsideFolder, project});
    for (const QString &part : folders) {
        if (std::optional<files::Failure> refused = unusablePart(part))
            return std::move(*refused);
    }
    return folders;
}

files::Outcome<WebCopyPlace> placeOf(const QString &movieRoot, const QString &project,
                                     const QString &episodeFolder, const QString &episode)
{
    files::Outcome<QStringList> folders = foldersOf(movieRoot, project, episodeFolder);
    if (!folders)
        return folders.failure();
    const QString fileName = episode + QStringLiteral(".mp4");
    if (std::optional<files::Failure> refused = unusablePart(fileName))
        return std::move(*refused);
    return WebCopyPlace{std::move(*folders), fileName};
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

bool WebCopyLinks::copiesMayLie(const QString &project, const QString &episodeFolder) const
{
    if (m_siteFolder.isEmpty())
        return false;
    // Most folders have no copies: their episodes then cost no look each.
    if (project != m_lastProject || episodeFolder != m_lastEpisodeFolder) {
        m_lastProject = project;
        m_lastEpisodeFolder = episodeFolder;
        const files::Outcome<QStringList> folders = webcopy::foldersOf(m_movieRoot, project, episodeFolder);
        m_copyFolder = folders ? webcopy::folderPath(*folders) : QString();
        m_copyFolderThere = folders.ok() && QFileInfo(files::joinPath(m_siteFolder, m_copyFolder)).isDir();
    }
    return m_copyFolderThere;
}

QString WebCopyLinks::upToDateCopy(const QString &project, const QString &episodeFolder,
                                   const QByteArray &episode) const
{
    if (!copiesMayLie(project, episodeFolder))
        return {};
    return upToDateCopy(project, episodeFolder, QFile::decodeName(episode));
}

QString WebCopyLinks::upToDateCopy(const QString &project, const QString &episodeFolder,
                                   const QString &episode) const
{
    const QString fileName = episode + QStringLiteral(".mp4");
    if (!copiesMayLie(project, episodeFolder) || unusablePart(fileName))
        return {};
    const QString relative = m_copyFolder + u'/' + fileName;
    const QString copy = files::joinPath(m_siteFolder, relative);
    if (!files::plainFileExists(copy) || !media::isUpToDate(copy, files::joinPath(episodeFolder, episode)))
        return {};
    return relative;
}

} // namespace tessaly
