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

VideoCheck::VideoCheck(const Workspace &workspace, RunReport &report, bool enabled, WebCopyLinks links)
    : m_report(report), m_enabled(enabled), m_links(std::move(links))
{
    if (enabled)
        m_loading = std::async(std::launch::async, [file = videoFactsFile(workspace)] {
            return std::make_unique<media::FactsCache>(file);
        });
}

media::FactsCache &VideoCheck::cache() const
{
    if (!m_cache)
        m_cache = m_loading.get();
    return *m_cache;
}

EpisodeFacts VideoCheck::factsOf(const QString &project, const QString &episodeFolder,
                                 const QByteArray &fileName) const
{
    EpisodeFacts episode;
    episode.webCopy = webCopyOf(project, episodeFolder, fileName);
    if (!m_enabled)
        return episode;
    if (episodeFolder != m_checkedFolder) {
        m_checked.clear();
        m_checkedFolder = episodeFolder;
        m_folder.emplace(cache(), episodeFolder);
    }
    const media::EpisodeCheck check = m_folder->check(fileName);
    m_checked.append(check);
    episode.seconds = check.seconds;
    episode.verdict = check.verdict.word();
    if (check.verdict.noted())
        episode.reason = check.verdict.reason;
    return episode;
}

QString VideoCheck::webCopyOf(const QString &project, const QString &episodeFolder,
                              const QByteArray &fileName) const
{
    return m_links.upToDateCopy(project, episodeFolder, fileName);
}

void VideoCheck::check(const ProjectContent &content)
{
    if (!m_enabled)
        return;
    // The pages asked for these episodes in this order just before.
    const bool known =
        content.episodeFolder == m_checkedFolder && m_checked.size() == content.episodeNames.size();
    for (qsizetype i = 0; i < content.episodeNames.size(); ++i) {
        const QString &episode = content.episodeNames.at(i);
        const media::Verdict verdict =
            known ? m_checked.at(i).verdict
                  : cache().check(files::joinPath(content.episodeFolder, episode)).verdict;
        // An episode with an up-to-date copy plays: its page plays the copy.
        if (!verdict.noted() || !m_links.upToDateCopy(content.name, content.episodeFolder, episode).isEmpty())
            continue;
        ++m_noted;
        m_report.step(episode + QStringLiteral(": ") + verdict.text() + QStringLiteral(" (") +
                          verdict.reason + QStringLiteral(")"),
                      ProgressIcon::Failure);
    }
    m_checked.clear();
    m_checkedFolder.clear();
    m_folder.reset();
}

void VideoCheck::save()
{
    // A cache that cannot be written only costs the next run its time.
    if (m_cache)
        static_cast<void>(m_cache->save());
}

} // namespace tessaly
