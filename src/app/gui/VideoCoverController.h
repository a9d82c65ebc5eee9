#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QTreeView;
class QWidget;

namespace tessaly {

class BackgroundRun;
class MessagePanel;
class ProjectChoice;
class WorkspaceSession;

// Covers taken from the videos: for the chosen project, from the episode
// chosen in its list ("用此集截取封面", the episode list's own menu), and
// for every project without a cover. The decoding runs as the window's
// background job, so no other command that changes the workspace runs
// meanwhile; the worker gets copies of what it needs, taken from the
// session on this thread, and reaches the window only through queued
// signals.
class VideoCoverController : public QObject
{
    Q_OBJECT

public:
    // `episodes` is the chosen project's episode list; a run over every
    // project reports to `panel` and keeps `shownLines` as the panel's
    // lines. The controller belongs to `owner`.
    VideoCoverController(WorkspaceSession &session, ProjectChoice &choice, BackgroundRun &background,
                         QTreeView *episodes, MessagePanel *panel, QStringList &shownLines, QWidget *owner);
    ~VideoCoverController() override;

    void grabForChosenProject();
    void grabFromSelectedEpisode();
    void grabMissingCovers();

    bool isRunning() const;
    QMenu *episodeMenu() const { return m_episodeMenu; }
    // "用此集截取封面" (`MC1`).
    QAction *episodeAction() const { return m_episodeAction; }

signals:
    // A job's end has been shown to the user.
    void finished();

private:
    // Runs `work` on the worker thread, then `done` back on this one.
    void start(std::function<void()> work, std::function<void()> done);
    void showEpisodeMenu(const QPoint &position);

    WorkspaceSession &m_session;
    ProjectChoice &m_choice;
    BackgroundRun &m_background;
    QTreeView *m_episodes;
    MessagePanel *m_panel;
    QStringList &m_shownLines;
    QMenu *m_episodeMenu;
    QAction *m_episodeAction;
    bool m_jobIsOurs = false;
};

} // namespace tessaly
