#include "catalogue/ProjectSelection.h"

#include "catalogue/Episodes.h"
#include "catalogue/ProjectList.h"
#include "files/FileServices.h"
#include "settings/RecordedPaths.h"
#include "settings/SettingsFiles.h"
#include "workspace/Workspace.h"

namespace tessaly {

GuardDecision chosenProjectGuard(int rowCount, bool projectChosen)
{
    if (rowCount == 0)
        return GuardDecision::Silent;
    return projectChosen ? GuardDecision::GoOn : GuardDecision::AskForChoice;
}

QString chooseProjectFirstText()
{
    return QStringLiteral("请先选择要操作的项目!");
}

ProjectMenuPlan projectMenuPlan(int rowCount, int selectedRow)
{
    ProjectMenuPlan plan;
    if (rowCount == 0) {
        plan.show = true;
        plan.onlyNew = true;
        return plan;
    }
    // A lone project cannot move, so the menu then shows nothing at all.
    if (selectedRow < 0 || selectedRow >= rowCount || rowCount == 1)
        return plan;
    plan.show = true;
    plan.moveUpward = selectedRow > 0;
    plan.moveDownward = selectedRow < rowCount - 1;
    return plan;
}

ProjectDetails readProjectDetails(const Workspace &workspace, const QString &name)
{
    ProjectDetails details;
    details.name = name;
    if (!isUsableProjectName(name))
        return details;
    const QString cover = workspace.coverFile(name);
    if (files::plainFileExists(cover))
        details.coverFile = cover;
    if (files::plainFileExists(workspace.projectSettingsFile(name)))
        details.episodeFolder = settings::episodeFolder(workspace, name);
    details.usableFolder = !settings::holdsControlCharacter(details.episodeFolder);
    if (details.usableFolder && !details.episodeFolder.isEmpty() &&
        files::folderExists(details.episodeFolder)) {
        EpisodeListing listing = listEpisodes(details.episodeFolder, settings::episodeOrder(workspace));
        if (listing.ok()) {
            details.episodes = std::move(listing.episodes);
            details.encodedEpisodes = std::move(listing.encodedEpisodes);
            details.otherFiles = std::move(listing.otherFiles);
        }
        details.checkVideos = settings::checksVideos(workspace);
    }
    return details;
}

ProjectFolder projectFolderToOpen(const Workspace &workspace, const QString &name)
{
    ProjectFolder folder;
    if (!isUsableProjectName(name)) {
        folder.outcome = ProjectFolder::Outcome::UnusableName;
        return folder;
    }
    if (!files::plainFileExists(workspace.projectSettingsFile(name)))
        return folder;
    folder.path = settings::episodeFolder(workspace, name);
    if (settings::holdsControlCharacter(folder.path)) {
        folder.outcome = ProjectFolder::Outcome::UnusableFolder;
        return folder;
    }
    folder.outcome =
        files::folderExists(folder.path) ? ProjectFolder::Outcome::Open : ProjectFolder::Outcome::Missing;
    return folder;
}

} // namespace tessaly
