#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace tessaly {

// The window's one long job at a time (generating the site, updating a
// project, taking covers from videos, converting episodes). The job runs on a worker thread with
// copies of what it needs and never touches a widget or a message box; its
// end is handled back on this thread. While it runs, the commands that
// change the workspace are disabled (`runningChanged`) and closing the
// window asks first.
class BackgroundRun : public QObject
{
    Q_OBJECT

public:
    explicit BackgroundRun(QObject *parent = nullptr);
    // Asks a job still going to stop and waits for it: what it writes and
    // the workspace lock it relies on must outlive it.
    ~BackgroundRun() override;

    bool isRunning() const { return m_worker != nullptr; }
    // Runs `work` on a worker thread, then `done` on this thread unless the
    // job was stopped because the window is closing. `quitQuestion` is what
    // closing the window asks meanwhile. False when a job is going already.
    bool start(const QString &quitQuestion, std::function<void()> work, std::function<void()> done);

    // Set once the user has agreed to quit during the job, or has stopped
    // it; the job stops at its next safe point.
    const std::atomic<bool> *stopFlag() const { return &m_stop; }
    bool stopAsked() const { return m_stop.load(); }
    // The user stops the job ("停止"): its end is still handled.
    void stop();

    // Whether the window may close: at once when idle; during a job only
    // when the user answers "是" to its question. The job then stops on its
    // own and shows nothing more.
    bool mayClose();

signals:
    void runningChanged(bool running);
    // A job's end has been handled.
    void finished();

private:
    void whenDone();

    std::unique_ptr<QThread> m_worker;
    std::function<void()> m_done;
    QString m_quitQuestion;
    std::atomic<bool> m_stop{false};
    bool m_closing = false;
};

} // namespace tessaly
