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

VideoCheck::VideoCheck(const Workspace &workspace, RunReport &report, bool enabled) : m_report(report)
{
    if (enabled)
        m_cache.emplace(videoFactsFile(workspace));
}

EpisodeFacts VideoCheck::factsOf(const QString &episodeFolder, const QByteArray &fileName) const
{
    if (!m_cache)
        return {};
    const media::MediaFacts facts =
        m_cache->facts(files::joinPath(episodeFolder, QFile::decodeName(fileName)));
    const media::Verdict verdict = media::verdictFor(facts);
    EpisodeFacts episode;
    episode.seconds = facts.seconds;
    episode.verdict = verdict.word();
    if (verdict.noted())
        episode.reason = verdict.reason;
    return episode;
}

void VideoCheck::check(const ProjectContent &content)
{
    if (!m_cache)
        return;
    for (const QString &episode : content.episodeNames) {
        const media::Verdict verdict =
            media::verdictFor(m_cache->facts(files::joinPath(content.episodeFolder, episode)));
        if (!verdict.noted())
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
