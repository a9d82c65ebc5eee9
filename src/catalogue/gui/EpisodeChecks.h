#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <memory>

namespace tessaly {

class EpisodeListModel;

// The check of the videos behind the details pane's episode list: the
// episodes of the list shown are probed on a worker thread, one list at a
// time, through the workspace's cache of probed files, which it loads on
// the worker when first needed and saves after each list that probed
// anything. A click never waits for it: checks reach the model in batches
// through queued calls, and a new list (any reset of the model) stops the
// work on the previous one at its next episode.
class EpisodeChecks : public QObject
{
    Q_OBJECT

public:
    EpisodeChecks(const QString &cacheFile, EpisodeListModel *model, QObject *parent = nullptr);
    // Stops the work and waits for it: the cache it writes must not
    // outlive the workspace.
    ~EpisodeChecks() override;

    // Checks the episodes the model shows now, which are in `folder`.
    void start(const QString &folder);
    // Waits until the worker has nothing left to do; its last checks may
    // still be on their way to the model.
    void waitForIdle();

signals:
    // Every check of that list has been handed to the model.
    void finished(const QString &project, quint64 generation);

private:
    struct Shared;

    EpisodeListModel *m_model;
    std::shared_ptr<Shared> m_shared;
    QThreadPool m_worker;
};

} // namespace tessaly
