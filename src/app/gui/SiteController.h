#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace tessaly {

class BackgroundRun;
class MessagePanel;
class ProjectChoice;
class WorkspaceSession;

// The generation runs: the whole site, and the update of the selected
// project. The steps before a run (style load, the refusals, the
// panel) happen on the window's thread; the run itself goes on a worker
// thread with copies of the list, the templates and the inputs read, and
// reports to the message panel through a relay; its closing box is shown
// back here.
class SiteController : public QObject
{
    Q_OBJECT

public:
    // The message panel lies over `panelArea`; the runs go as `background`'s
    // job. The controller belongs to `owner`.
    SiteController(WorkspaceSession &session, ProjectChoice &choice, BackgroundRun &background,
                   QWidget *panelArea, QObject *owner);

    MessagePanel *panel() const { return m_panel; }
    // The lines the panel shows since it was last cleared, kept by every
    // run that reports there: an update's log repeats them before its own.
    QStringList &shownLines() { return m_shownLines; }

    void generateWholeSite();
    void updateSelectedProject();

private:
    WorkspaceSession &m_session;
    ProjectChoice &m_choice;
    BackgroundRun &m_background;
    MessagePanel *m_panel;
    QStringList m_shownLines;
};

} // namespace tessaly
