#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QThread;

namespace tessaly {

class MainWindow;

namespace covers {

// Covers taken from the videos: "从视频截取封面" (`Command12`), the episode
// list's "用此集截取封面" and the menu's "为无封面项目截取封面" (`M8`). The
// decoding runs on a worker thread, one job at a time, while the three
// commands are disabled; the worker sees copies of what it needs and
// reaches the window only through queued calls.
class VideoCoverController : public QObject
{
    Q_OBJECT

public:
    explicit VideoCoverController(MainWindow &window);
    ~VideoCoverController() override;

    void grabForChosenProject();
    void grabFromSelectedEpisode();
    void grabMissingCovers();

    bool isRunning() const { return m_worker != nullptr; }
    QMenu *episodeMenu() const { return m_episodeMenu; }

signals:
    // A job's end has been shown to the user.
    void finished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Runs `work` on the worker thread, then `done` back on this one.
    void start(std::function<void()> work, std::function<void()> done);
    void whenDone();
    void setCommandsEnabled(bool enabled);
    bool projectForCover(QString &project);
    void showEpisodeMenu(const QPoint &position);
    // Closing the window during a job asks first and then stops the job.
    bool mayClose();

    MainWindow &m_window;
    QMenu *m_episodeMenu;
    QAction *m_episodeAction;
    std::unique_ptr<QThread> m_worker;
    std::function<void()> m_done;
    std::atomic<bool> m_cancelled{false};
};

} // namespace covers
} // namespace tessaly
