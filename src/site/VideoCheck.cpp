#include "site/VideoCheck.h"

#include "files/FileServices.h"
#include "media/Verdict.h"
#include "site/ProjectPages.h"
#include "workspace/Workspace.h"

#include <QFile>

namespace tessaly {

QString videoFactsFile(const Workspace &workspace)
{
    return files::joinPath(workspace.data(), media::FactsCache::fileName());
}

VideoCheck::VideoCheck(const Workspace &workspace, RunReport &report, bool enabled, WebCopyLinks links)
    : m_report(report), m_links(std::move(links))
{
    if (enabled)
        m_cache.emplace(videoFactsFile(workspace));
}

EpisodeFacts VideoCheck::factsOf(const QString &project, const QString &episodeFolder,
                                 const QByteArray &fileName) const
{
    EpisodeFacts episode;
    episode.webCopy = webCopyOf(project, episodeFolder, fileName);
    if (!m_cache)
        return episode;
    const media::MediaFacts facts =
        m_cache->facts(files::joinPath(episodeFolder, QFile::decodeName(fileName)));
    const media::Verdict verdict = media::verdictFor(facts);
    episode.seconds = facts.seconds;
    episode.verdict = verdict.word();
    if (verdict.noted())
        episode.reason = verdict.reason;
    return episode;
}

QString VideoCheck::webCopyOf(const QString &project, const QString &episodeFolder,
                              const QByteArray &fileName) const
{
    return m_links.upToDateCopy(project, episodeFolder, QFile::decodeName(fileName));
}

void VideoCheck::check(const ProjectContent &content)
{
    if (!m_cache)
        return;
    for (const QString &episode : content.episodeNames) {
        const media::Verdict verdict =
            media::verdictFor(m_cache->facts(files::joinPath(content.episodeFolder, episode)));
        // An episode with an up-to-date copy plays: its page plays the copy.
        if (!verdict.noted() || !m_links.upToDateCopy(content.name, content.episodeFolder, episode).isEmpty())
            continue;
        ++m_noted;
        m_report.step(episode + QStringLiteral(": ") + verdict.text() + QStringLiteral(" (") +
                          verdict.reason + QStringLiteral(")"),
                      ProgressIcon::Failure);
    }
}

void VideoCheck::save()
{
    if (m_cache)
        m_cache->save();
}

} // namespace tessaly
