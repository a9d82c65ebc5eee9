#pragma once

#include <QObject>

class QWidget;

namespace tessaly {

class ProjectChoice;
class WorkspaceSession;

// Brings back the main window's size, position and, for its workspace, the
// last chosen project; keeps them when the window closes.
class WindowStateKeeper : public QObject
{
    Q_OBJECT

public:
    // Belongs to `window`.
    WindowStateKeeper(QWidget &window, const WorkspaceSession &session, ProjectChoice &choice);

    // After the project list is loaded and before the window is shown.
    void restore();
    void save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    const WorkspaceSession &m_session;
    ProjectChoice &m_choice;
};

} // namespace tessaly
