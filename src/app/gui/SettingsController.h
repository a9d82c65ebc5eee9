#pragma once

#include <QObject>

class QWidget;

namespace tessaly {

class FileChooser;
class ProjectChoice;
class ServerProbe;
class WorkspaceSession;

// "设置": opens the settings dialog, modal over `dialogParent` (which owns
// the controller), and saves what it confirms through the session; the
// details pane is shown anew, since the movie root, the order of episodes
// and the check of the videos change what it shows. Its server test asks
// the web server for the first episode of the list.
class SettingsController : public QObject
{
    Q_OBJECT

public:
    SettingsController(WorkspaceSession &session, ProjectChoice &choice, ServerProbe &probe,
                       FileChooser &folders, QWidget *dialogParent);

    void openSettings();

private:
    WorkspaceSession &m_session;
    ProjectChoice &m_choice;
    ServerProbe &m_probe;
    FileChooser &m_folders;
    QWidget *m_dialogParent;
};

} // namespace tessaly
