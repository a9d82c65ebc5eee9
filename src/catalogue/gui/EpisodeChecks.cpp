#include "catalogue/gui/EpisodeChecks.h"

#include "catalogue/gui/EpisodeListModel.h"
#include "media/FactsCache.h"

#include <QElapsedTimer>
#include <atomic>

namespace tessaly {

namespace {

// How often a list whose files are being probed hands its checks over, so
// that marks appear as they come without an event for each episode.
constexpr qint64 BatchMilliseconds = 100;

} // namespace

struct EpisodeChecks::Shared
{
    explicit Shared(QString file) : cacheFile(std::move(file)) {}

    const QString cacheFile;
    // Touched on the worker alone.
    std::unique_ptr<media::FactsCache> cache;
    // The generation of the list shown; the worker drops any other.
    std::atomic<quint64> shown{0};
};

EpisodeChecks::EpisodeChecks(const QString &cacheFile, EpisodeListModel *model, QObject *parent)
    : QObject(parent), m_model(model), m_shared(std::make_shared<Shared>(cacheFile))
{
    m_worker.setMaxThreadCount(1);
    m_worker.setObjectName(QStringLiteral("EpisodeChecks"));
    connect(model, &QAbstractItemModel::modelReset, this,
            [this] { m_shared->shown.store(m_model->generation()); });
}

EpisodeChecks::~EpisodeChecks()
{
    m_shared->shown.store(0);
    waitForIdle();
}

void EpisodeChecks::waitForIdle()
{
    m_worker.waitForDone();
}

void EpisodeChecks::start(const QString &folder)
{
    const QString project = m_model->project();
    const quint64 generation = m_model->generation();
    const QList<QByteArray> episodes = m_model->encodedEpisodes();
    m_shared->shown.store(generation);
    m_worker.start([this, shared = m_shared, project, generation, folder, episodes] {
        const auto handOver = [this, project, generation](const QList<EpisodeListModel::Check> &checks,
                                                          bool last) {
            QMetaObject::invokeMethod(
                this,
                [this, project, generation, checks, last] {
                    m_model->addChecks(project, generation, checks);
                    if (last)
                        emit finished(project, generation);
                },
                Qt::QueuedConnection);
        };
        if (!shared->cache)
            shared->cache = std::make_unique<media::FactsCache>(shared->cacheFile);
        QList<EpisodeListModel::Check> checks;
        QElapsedTimer sinceHandOver;
        sinceHandOver.start();
        // By the names' bytes, which a name that is not UTF-8 needs.
        media::FactsCache::InFolder inFolder(*shared->cache, folder);
        int row = 0;
        for (; row < episodes.size() && shared->shown.load() == generation; ++row) {
            checks.append({row, inFolder.check(episodes.at(row))});
            if (sinceHandOver.elapsed() >= BatchMilliseconds) {
                handOver(checks, false);
                checks.clear();
                sinceHandOver.restart();
            }
        }
        // A list no longer shown gets nothing more.
        if (row == episodes.size())
            handOver(checks, true);
        // A cache that cannot be written only costs the next check its time.
        static_cast<void>(shared->cache->save());
    });
}

} // namespace tessaly
