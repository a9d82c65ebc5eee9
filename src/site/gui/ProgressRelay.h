#pragma once

#include "site/Progress.h"

#include <QMutex>
#include <QObject>
#include <QPointer>

namespace tessaly {

class MessagePanel;

// The sink of a run on a worker thread. It passes the lines and the
// progress on to the message panel on the window's thread, in batches,
// through a queued signal: however fast the worker reports, at most one
// delivery waits in the window's queue, and a delivery never holds the
// window for long.
class ProgressRelay : public QObject, public ProgressSink
{
    Q_OBJECT

public:
    explicit ProgressRelay(MessagePanel &panel);

    // From the worker.
    void add(const ProgressLine &line) override;
    void showLastLine() override;
    void progress(int done, int total) override;

    // The texts of the lines the panel shows (not those for the log alone),
    // in order: what a later update's log repeats.
    QStringList shownTexts() const;

    // On the window's thread: everything still waiting, at once (before the
    // closing box).
    void deliverAll();

signals:
    void waiting();

private:
    // Hands the panel up to a batch's worth of lines; asks for another
    // delivery when more wait.
    void deliver();
    // With the lock held: makes sure a delivery is on its way.
    void announce();

    mutable QMutex m_mutex;
    QStringList m_shownTexts;
    QList<ProgressLine> m_pending;
    bool m_showLastLine = false;
    bool m_progressChanged = false;
    int m_done = 0;
    int m_total = 0;
    bool m_announced = false;
    QPointer<MessagePanel> m_panel;
};

} // namespace tessaly
