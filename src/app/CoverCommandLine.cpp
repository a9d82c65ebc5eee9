#include "app/CoverCommandLine.h"

#include "app/CommandLine.h"
#include "app/WorkspaceSession.h"
#include "catalogue/CatalogueTexts.h"
#include "catalogue/ProjectList.h"
#include "catalogue/ProjectSelection.h"
#include "covers/CoverTexts.h"
#include "covers/VideoCovers.h"
#include "platform/Messages.h"
#include "site/Progress.h"
#include "workspace/Workspace.h"

namespace tessaly::cover_commands {

int cover(const Workspace &workspace, const ProjectList &projects, const QStringList &arguments,
          const Output &out)
{
    const QString name = arguments.at(0);
    if (projects.indexOf(name) < 0) {
        Messages::error(catalogue::texts::noContent());
        return CommandLine::Failed;
    }
    covers::VideoCover cover;
    if (arguments.size() < 2) {
        cover = covers::grabProjectCover(workspace, name);
    } else {
        const ProjectDetails details = readProjectDetails(workspace, name);
        const std::optional<QString> episode = covers::findEpisode(details.episodes, arguments.at(1));
        // An episode that is not there is named as given, for the message.
        cover = covers::grabEpisodeCover(workspace, name, episode.value_or(arguments.at(1)));
    }
    if (!cover.written) {
        Messages::error(cover.message);
        return CommandLine::Failed;
    }
    out(cover.coverFile);
    return CommandLine::Done;
}

int coversMissing(const Workspace &workspace, const ProjectList &projects, const Output &out)
{
    ProgressLines lines([&out](const ProgressLine &line) { out(line.text); });
    const RunOutcome outcome = covers::MissingCoversRun(workspace, projects.names(), lines).run();
    showClosingBox(outcome);
    return outcome.succeeded() ? CommandLine::Done : CommandLine::Failed;
}

} // namespace tessaly::cover_commands
