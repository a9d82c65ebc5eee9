#pragma once

#include <QObject>

class QWidget;

namespace tessaly {

class ProjectChoice;
class WorkspaceSession;

// The catalogue's dialogs: the new project dialog, empty or filled in for a
// folder below the movie root dropped on the project list, and the episode
// folder chooser for the chosen project.
class CatalogueDialogsController : public QObject
{
    Q_OBJECT

public:
    // The dialogs open modal over `dialogParent`, which owns the controller.
    CatalogueDialogsController(WorkspaceSession &session, ProjectChoice &choice, QWidget *dialogParent);

    void openNewProject();
    void openNewProjectFor(const QString &droppedPath);
    void openEpisodeFolderChooser();

private:
    void runNewProject(const QString &name, const QString &folder);

    WorkspaceSession &m_session;
    ProjectChoice &m_choice;
    QWidget *m_dialogParent;
};

} // namespace tessaly
