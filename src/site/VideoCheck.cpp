#include "site/VideoCheck.h"

#include "files/FileServices.h"
#include "site/ProjectPages.h"
#include "workspace/Workspace.h"

#include <QFile>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tessaly {

QString videoFactsFile(const Workspace &workspace)
{
    return files::joinPath(workspace.data(), media::FactsCache::fileName());
}

// Reads the cache, then works out which files of the expected folders it
// knows as they are now, one folder after another and a few folders ahead
// of the run. A run that asks for its folders in that order finds each one
// ready, and the look at each file (a system call) leaves the run's thread:
// a run of a large site that finds everything in the cache takes little
// longer than one that checks nothing.
class VideoCheck::Lookahead
{
public:
    explicit Lookahead(QString cacheFile) : m_thread([this, file = std::move(cacheFile)] { work(file); }) {}

    ~Lookahead()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    void expect(QStringList folders)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_expected)
                return;
            m_folders = std::move(folders);
            m_expected = true;
        }
        m_changed.notify_all();
    }

    // The run asks for nothing more: the thread lets the cache go.
    void finish()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
    }

    media::FactsCache &cache()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_cache != nullptr; });
        return *m_cache;
    }

    // The files of `folder` the cache knows as they are now; nothing when
    // the folder is not among those still expected. Folders expected
    // before it are passed over.
    std::optional<media::FactsCache::FreshFiles> take(const QString &folder)
    {
        std::unique_lock lock(m_mutex);
        qsizetype index = m_taken;
        while (index < m_folders.size() && m_folders.at(index) != folder)
            ++index;
        if (index == m_folders.size())
            return std::nullopt;
        m_taken = index + 1;
        // Each side is woken only when it waits, and the thread only once
        // half its room ahead is free: a wake-up is a system call.
        if (m_workerWaits && m_taken + Ahead - m_done >= Ahead / 2)
            m_changed.notify_all();
        m_runWaits = true;
        m_changed.wait(lock, [&] { return m_done > index; });
        m_runWaits = false;
        m_ready.erase(m_ready.begin(), m_ready.begin() + (index - m_readyFrom));
        media::FactsCache::FreshFiles fresh = std::move(m_ready.front());
        m_ready.pop_front();
        m_readyFrom = index + 1;
        return fresh;
    }

private:
    // How many folders it may be ahead of the run.
    static constexpr qsizetype Ahead = 64;

    void work(const QString &file)
    {
        auto loaded = std::make_unique<media::FactsCache>(file);
        std::unique_lock lock(m_mutex);
        m_cache = std::move(loaded);
        m_changed.notify_all();
        lookAhead(lock);
        // Let go here rather than on the run's thread: freeing tens of
        // thousands of entries takes a while.
        loaded = std::move(m_cache);
        lock.unlock();
        loaded.reset();
    }

    // Looks at the expected folders until the run has asked for nothing
    // more; the lock is held but while a folder is looked at.
    void lookAhead(std::unique_lock<std::mutex> &lock)
    {
        for (qsizetype index = 0;; ++index) {
            m_workerWaits = true;
            m_changed.wait(lock, [&] { return m_stop || (m_expected && index < m_taken + Ahead); });
            m_workerWaits = false;
            if (m_stop)
                return;
            if (index >= m_folders.size()) {
                m_changed.wait(lock, [&] { return m_stop; });
                return;
            }
            const QString folder = m_folders.at(index);
            lock.unlock();
            media::FactsCache::FreshFiles fresh = m_cache->freshIn(folder);
            lock.lock();
            m_ready.push_back(std::move(fresh));
            m_done = index + 1;
            if (m_runWaits)
                m_changed.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::unique_ptr<media::FactsCache> m_cache;
    bool m_expected = false;
    bool m_stop = false;
    bool m_workerWaits = false;
    bool m_runWaits = false;
    QStringList m_folders;
    qsizetype m_taken = 0; // the index the run may take next
    qsizetype m_done = 0;  // how many folders have been looked at
    qsizetype m_readyFrom = 0;
    std::deque<media::FactsCache::FreshFiles> m_ready; // from m_readyFrom to m_done
    std::thread m_thread;                              // last: it uses the members above
};

VideoCheck::VideoCheck(const Workspace &workspace, RunReport &report, bool enabled, WebCopyLinks links)
    : m_report(report), m_enabled(enabled), m_links(std::move(links))
{
    if (enabled)
        m_lookahead = std::make_unique<Lookahead>(videoFactsFile(workspace));
}

VideoCheck::~VideoCheck() = default;

void VideoCheck::expect(const QList<ProjectSource> &sources)
{
    if (!m_lookahead)
        return;
    QStringList folders;
    for (const ProjectSource &source : sources) {
        if (!source.skipped() && !source.episodeFolder.isEmpty())
            folders.append(source.episodeFolder);
    }
    m_lookahead->expect(std::move(folders));
}

media::FactsCache &VideoCheck::cache() const
{
    return m_lookahead->cache();
}

media::EpisodeCheck VideoCheck::checkOf(const QString &episodeFolder, const QByteArray &fileName) const
{
    if (episodeFolder != m_checkedFolder) {
        m_checked.clear();
        m_checkedFolder = episodeFolder;
        m_folder.reset();
        m_fresh = m_lookahead->take(episodeFolder);
    }
    if (m_fresh) {
        if (std::optional<media::EpisodeCheck> known = m_fresh->find(fileName))
            return std::move(*known);
    }
    if (!m_folder)
        m_folder.emplace(cache(), episodeFolder);
    return m_folder->check(fileName);
}

EpisodeFacts VideoCheck::factsOf(const QString &project, const QString &episodeFolder,
                                 const QByteArray &fileName) const
{
    EpisodeFacts episode;
    episode.webCopy = webCopyOf(project, episodeFolder, fileName);
    if (!m_enabled)
        return episode;
    const media::EpisodeCheck &check = m_checked.emplaceBack(checkOf(episodeFolder, fileName));
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
    // The new page set asked for these episodes in this order just before;
    // the classic one did not.
    if (content.episodeFolder != m_checkedFolder || m_checked.size() != content.episodeNames.size()) {
        QList<media::EpisodeCheck> checked;
        for (const QByteArray &episode : content.encodedEpisodeNames)
            checked.append(checkOf(content.episodeFolder, episode));
        m_checked = std::move(checked);
    }
    for (qsizetype i = 0; i < content.episodeNames.size(); ++i) {
        const QString &episode = content.episodeNames.at(i);
        const media::Verdict &verdict = m_checked.at(i).verdict;
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
    m_fresh.reset();
    m_folder.reset();
}

void VideoCheck::finish()
{
    if (!m_lookahead || m_finished)
        return;
    m_finished = true;
    // A cache that cannot be written only costs the next run its time.
    static_cast<void>(m_lookahead->cache().save());
    m_fresh.reset();
    m_folder.reset();
    m_lookahead->finish();
}

} // namespace tessaly
