#include "app/gui/CatalogueDialogsController.h"

#include "app/gui/MainWindow.h"
#include "app/gui/ProjectCommands.h"
#include "catalogue/DroppedFolder.h"
#include "catalogue/gui/EpisodeFolderDialog.h"
#include "catalogue/gui/NewProjectDialog.h"
#include "platform/Messages.h"

#include <QAction>
#include <QPushButton>

namespace tessaly {

CatalogueDialogsController::CatalogueDialogsController(MainWindow &window)
    : QObject(&window), m_window(window)
{
    if (QPushButton *add = window.button("Command1"))
        connect(add, &QPushButton::clicked, this, &CatalogueDialogsController::openNewProject);
    if (QAction *newProject = window.action("MB5"))
        connect(newProject, &QAction::triggered, this, &CatalogueDialogsController::openNewProject);
    if (QPushButton *choose = window.button("Command3"))
        connect(choose, &QPushButton::clicked, this, &CatalogueDialogsController::openEpisodeFolderChooser);
    if (auto *listCommands = window.findChild<ProjectCommands *>())
        connect(listCommands, &ProjectCommands::pathDropped, this,
                &CatalogueDialogsController::openNewProjectFor);
}

void CatalogueDialogsController::openNewProject()
{
    runNewProject(QString(), QString());
}

void CatalogueDialogsController::openNewProjectFor(const QString &droppedPath)
{
    const std::optional<DroppedFolder> folder = folderBelowMovieRoot(m_window.workspace(), droppedPath);
    if (!folder) {
        Messages::error(notBelowMovieRootText(droppedPath));
        return;
    }
    runNewProject(folder->name, folder->path);
}

void CatalogueDialogsController::runNewProject(const QString &name, const QString &folder)
{
    NewProjectDialog dialog(
        m_window.workspace(),
        [this](const NewProject &project) {
            if (!m_window.session().add(project).done())
                return false;
            m_window.showProjectAddedAtTop();
            return true;
        },
        &m_window);
    if (!folder.isEmpty())
        dialog.useFolder(name, folder);
    dialog.exec();
}

void CatalogueDialogsController::openEpisodeFolderChooser()
{
    if (!m_window.guardChosenProject())
        return;
    const std::optional<QString> project = m_window.chosenProject();
    if (!project)
        return;
    // A hand-edited list may hold a name that cannot be a file name; its
    // settings file must never be written, so the chooser does not open.
    if (!isUsableProjectName(*project)) {
        Messages::error(QStringLiteral("无法使用的项目名称: ") + *project);
        return;
    }
    EpisodeFolderDialog dialog(
        m_window.workspace(), *project,
        [this, project = *project](const QString &folder) {
            if (!m_window.session().setEpisodeFolder(project, folder).done())
                return false;
            m_window.refreshDetails();
            return true;
        },
        &m_window);
    dialog.exec();
}

} // namespace tessaly
