#include "app/gui/CatalogueDialogsController.h"

#include "app/WorkspaceSession.h"
#include "app/gui/ProjectChoice.h"
#include "catalogue/DroppedFolder.h"
#include "catalogue/FolderNavigation.h"
#include "catalogue/gui/EpisodeFolderDialog.h"
#include "catalogue/gui/NewProjectDialog.h"
#include "platform/Messages.h"

namespace tessaly {

CatalogueDialogsController::CatalogueDialogsController(WorkspaceSession &session, ProjectChoice &choice,
                                                       QWidget *dialogParent)
    : QObject(dialogParent), m_session(session), m_choice(choice), m_dialogParent(dialogParent)
{}

void CatalogueDialogsController::openNewProject()
{
    runNewProject(QString(), QString());
}

void CatalogueDialogsController::openNewProjectFor(const QString &droppedPath)
{
    const files::Outcome<DroppedFolder> folder = folderBelowMovieRoot(m_session.workspace(), droppedPath);
    if (!folder) {
        Messages::error(folder.failure().text());
        return;
    }
    runNewProject(folder->name, folder->path);
}

void CatalogueDialogsController::runNewProject(const QString &name, const QString &folder)
{
    NewProjectDialog dialog(
        m_session.workspace(),
        [this](const NewProject &project) {
            if (!m_session.add(project).done())
                return false;
            m_choice.showProjectAddedAtTop();
            return true;
        },
        m_dialogParent);
    if (!folder.isEmpty())
        dialog.useFolder(name, folder);
    dialog.exec();
}

void CatalogueDialogsController::openEpisodeFolderChooser()
{
    const std::optional<QString> project = m_choice.usableChosenProject();
    if (!project)
        return;
    if (const files::Outcome<void> rootSet = FolderNavigation::movieRootIsSet(m_session.workspace());
        !rootSet) {
        Messages::error(rootSet.failure().text());
        return;
    }
    EpisodeFolderDialog dialog(
        m_session.workspace(), *project,
        [this, project = *project](const QString &folder) {
            if (!m_session.setEpisodeFolder(project, folder).done())
                return false;
            m_choice.refreshDetails();
            return true;
        },
        m_dialogParent);
    dialog.exec();
}

} // namespace tessaly
