#include "site/VideoCheck.h"

#include "files/FileServices.h"
#include "site/ProjectPages.h"
#include "workspace/Workspace.h"

#include <QFile>

namespace tessaly {

QString videoFactsFile(const Workspace &workspace)
{
    return files::joinPath(workspace.data(), media::FactsCache::fileName());
}

VideoCheck::VideoCheck(const Workspace &workspace, RunReport &report, bool enabled) : m_report(report)
{
    if (enabled)
        m_cache.emplace(videoFactsFile(workspace));
}

EpisodeFacts VideoCheck::factsOf(const QString &episodeFolder, const QByteArray &fileName) const
{
    if (!m_cache)
        return {};
    if (episodeFolder != m_checkedFolder) {
        m_checked.clear();
        m_checkedFolder = episodeFolder;
    }
    const QString name = QFile::decodeName(fileName);
    const media::EpisodeCheck check = media::checkEpisode(*m_cache, files::joinPath(episodeFolder, name));
    m_checked.insert(name, check);
    EpisodeFacts episode;
    episode.seconds = check.seconds;
    episode.verdict = check.verdict.word();
    if (check.verdict.noted())
        episode.reason = check.verdict.reason;
    return episode;
}

void VideoCheck::check(const ProjectContent &content)
{
    if (!m_cache)
        return;
    const bool known = content.episodeFolder == m_checkedFolder;
    for (const QString &episode : content.episodeNames) {
        const auto checked = known ? m_checked.constFind(episode) : m_checked.cend();
        const media::Verdict verdict =
            checked != m_checked.cend()
                ? checked->verdict
                : media::checkEpisode(*m_cache, files::joinPath(content.episodeFolder, episode)).verdict;
        if (!verdict.noted())
            continue;
        ++m_noted;
        m_report.step(episode + QStringLiteral(": ") + verdict.text() + QStringLiteral(" (") +
                          verdict.reason + QStringLiteral(")"),
                      ProgressIcon::Failure);
    }
    m_checked.clear();
    m_checkedFolder.clear();
}

void VideoCheck::save()
{
    if (m_cache)
        m_cache->save();
}

} // namespace tessaly
