#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace tessaly {

class MainWindow;

namespace covers {

// Covers taken from the videos: "从视频截取封面" (`Command12`), the episode
// list's "用此集截取封面" and the menu's "为无封面项目截取封面" (`M8`). The
// decoding runs as the window's background job, so no other command that
// changes the workspace runs meanwhile; the worker sees copies of what it
// needs and reaches the window only through queued signals.
class VideoCoverController : public QObject
{
    Q_OBJECT

public:
    explicit VideoCoverController(MainWindow &window);
    ~VideoCoverController() override;

    void grabForChosenProject();
    void grabFromSelectedEpisode();
    void grabMissingCovers();

    bool isRunning() const;
    QMenu *episodeMenu() const { return m_episodeMenu; }

signals:
    // A job's end has been shown to the user.
    void finished();

private:
    // Runs `work` on the worker thread, then `done` back on this one.
    void start(std::function<void()> work, std::function<void()> done);
    bool projectForCover(QString &project);
    void showEpisodeMenu(const QPoint &position);

    MainWindow &m_window;
    QMenu *m_episodeMenu;
    QAction *m_episodeAction;
    bool m_jobIsOurs = false;
};

} // namespace covers
} // namespace tessaly
