#include "site/VideoCheck.h"

#include "files/FileServices.h"
#include "media/Verdict.h"
#include "site/ProjectPages.h"
#include "workspace/Workspace.h"

#include <QFileInfo>

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

void VideoCheck::check(const ProjectContent &content)
{
    if (!m_cache)
        return;
    for (const QString &episode : content.episodeFiles) {
        const media::Verdict verdict = media::verdictFor(m_cache->facts(episode));
        if (!verdict.noted())
            continue;
        ++m_noted;
        m_report.step(QFileInfo(episode).fileName() + QStringLiteral(": ") + verdict.text() +
                          QStringLiteral(" (") + verdict.reason + QStringLiteral(")"),
                      ProgressIcon::Failure);
    }
}

void VideoCheck::save()
{
    if (m_cache)
        m_cache->save();
}

} // namespace tessaly
