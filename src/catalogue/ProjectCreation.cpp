#include "catalogue/ProjectCreation.h"

#include "catalogue/ProjectList.h"
#include "catalogue/ProjectNames.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "settings/RecordedPaths.h"
#include "settings/SettingsFiles.h"
#include "workspace/Workspace.h"

#include <QDir>

namespace tessaly {

bool recordNewProject(const Workspace &workspace, const QStringList &existingNames, const NewProject &project)
{
    if (project.name.isEmpty())
        return false;

    const QString refusal = names::refusalFor(project.name, existingNames);
    if (!refusal.isEmpty()) {
        Messages::error(refusal);
        return false;
    }

    if (project.episodeFolder.isEmpty())
        return true;
    const QString pathRefusal = settings::recordedPathRefusal(project.episodeFolder);
    if (!pathRefusal.isEmpty()) {
        Messages::error(pathRefusal);
        return false;
    }
    QString reason;
    if (!settings::setEpisodeFolder(workspace, project.name, project.episodeFolder, &reason)) {
        Messages::error(Messages::withPath(workspace.projectSettingsFile(project.name), reason));
        return false;
    }
    return true;
}

CreationResult createProject(const Workspace &workspace, ProjectList &projects, const NewProject &project)
{
    if (project.name.isEmpty())
        return CreationResult::Ignored;
    // A list that could not be read is never saved; say so before anything
    // is written for the new project.
    if (!listMayChange(projects, workspace.listFile()))
        return CreationResult::Refused;
    if (!recordNewProject(workspace, projects.names(), project))
        return CreationResult::Refused;

    projects.insertAtTop(project.name);
    QString reason;
    if (!projects.save(workspace.listFile(), &reason)) {
        // The rows stay as the file has them.
        projects.removeAt(0);
        Messages::error(Messages::withPath(workspace.listFile(), reason));
        return CreationResult::ListNotSaved;
    }
    return CreationResult::Created;
}

QString absoluteEpisodeFolder(const QString &folder, const QString &currentFolder)
{
    const QString absolute = QDir::cleanPath(QDir(currentFolder).absoluteFilePath(folder));
    return files::withoutTrailingSeparators(QDir::toNativeSeparators(absolute));
}

} // namespace tessaly
