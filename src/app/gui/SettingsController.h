#pragma once

#include <QObject>

class QWidget;

namespace tessaly {

class WorkspaceSession;

// "设置": opens the settings dialog, modal over `dialogParent` (which owns
// the controller), and saves what it confirms through the session.
class SettingsController : public QObject
{
    Q_OBJECT

public:
    SettingsController(WorkspaceSession &session, QWidget *dialogParent);

    void openSettings();

private:
    WorkspaceSession &m_session;
    QWidget *m_dialogParent;
};

} // namespace tessaly
