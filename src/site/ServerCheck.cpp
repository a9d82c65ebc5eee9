#include "site/ServerCheck.h"

#include "files/FileServices.h"
#include "files/Reasons.h"
#include "platform/Http.h"
#include "platform/ServerProbe.h"
#include "site/PageValues.h"
#include "site/ProjectPages.h"

#include <QFileInfo>
#include <cerrno>

namespace tessaly {

namespace {

constexpr int CheckMilliseconds = 5 * 1000;

bool isFileLink(const QUrl &url)
{
    return url.scheme() == QLatin1String("file");
}

} // namespace

FirstEpisode FirstEpisode::of(const ProjectContent &content)
{
    return {content.name, content.relativeFolder, content.firstEpisode};
}

FirstEpisode findFirstEpisode(const Workspace &workspace, const QStringList &projects,
                              const QString &movieRoot)
{
    const QString root = files::withoutTrailingSeparators(movieRoot);
    for (const ProjectSource &source : readProjectSources(workspace, projects)) {
        if (source.skipped() || source.episodeFolder.isEmpty())
            continue;
        bool isFolder = false;
        const files::Listing listing = files::listFilesIfFolder(source.episodeFolder, &isFolder);
        if (isFolder && listing.ok() && !listing.encodedEntries.isEmpty())
            return {source.name, page::relativeFolderPath(source.episodeFolder, root),
                    listing.encodedEntries.first()};
    }
    return {};
}

QUrl ServerCheck::siteRoot(const QString &siteLink)
{
    QUrl url(siteLink.trimmed(), QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return {};
    url = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    const QString path = url.path(QUrl::FullyEncoded);
    url.setPath(path.left(path.lastIndexOf(u'/') + 1), QUrl::TolerantMode);
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url;
}

QList<QUrl> ServerCheck::addresses(const QUrl &root, const FirstEpisode &episode)
{
    // The pages' own pieces, so the server is asked exactly what a browser
    // playing the page asks.
    const QString base = root.toString(QUrl::FullyEncoded);
    const QString video = base + QStringLiteral("movie") + page::urlPathPiece(episode.relativeFolder) + u'/' +
                          page::fileNameUrlPiece(episode.fileName);
    const QString cover =
        base + QStringLiteral("Image/") + page::urlPathPiece(episode.project) + QStringLiteral(".jpg");
    return {QUrl(video, QUrl::TolerantMode), QUrl(cover, QUrl::TolerantMode)};
}

std::optional<QString> ServerCheck::failureLine(const QString &siteLink, const FirstEpisode &episode) const
{
    const QUrl root = siteRoot(siteLink);
    if (root.isEmpty() || episode.isEmpty())
        return std::nullopt;
    const bool local = isFileLink(root);
    if (!local && !isFetchableUrl(root))
        return std::nullopt;
    const QDeadlineTimer deadline(CheckMilliseconds);
    for (const QUrl &address : addresses(root, episode)) {
        if (local) {
            if (!QFileInfo(address.toLocalFile()).isFile())
                return failureText(address, files::reasonFor(ENOENT));
            continue;
        }
        if (!m_probe)
            return std::nullopt;
        const ProbeAnswer answer = m_probe->probe(address, deadline, HttpLimits::page().maximumRedirects);
        if (!answer.served)
            return failureText(address, answer.reason);
    }
    return std::nullopt;
}

QString ServerCheck::testResult(const QString &siteLink, const FirstEpisode &episode) const
{
    const QUrl root = siteRoot(siteLink);
    if (!isFileLink(root) && !isFetchableUrl(root))
        return failureText(QUrl(siteLink, QUrl::TolerantMode), http_reasons::notAWebLink());
    if (episode.isEmpty())
        return noEpisodeText();
    return failureLine(siteLink, episode).value_or(servedText());
}

QString ServerCheck::noEpisodeText()
{
    return QStringLiteral("没有可供检查的剧集");
}

QString ServerCheck::servedText()
{
    return QStringLiteral("网页服务器可以提供视频");
}

QString ServerCheck::failureText(const QUrl &address, const QString &reason)
{
    return QStringLiteral("网页服务器无法提供视频: ") + address.toString(QUrl::RemoveUserInfo) +
           QStringLiteral(" (") + reason + u')';
}

} // namespace tessaly
