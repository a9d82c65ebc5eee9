#include "app/gui/ProjectChoice.h"

#include "catalogue/ProjectList.h"
#include "catalogue/ProjectRemoval.h"
#include "platform/Messages.h"

namespace tessaly {

std::optional<QString> ProjectChoice::usableChosenProject()
{
    if (!guardChosenProject())
        return std::nullopt;
    const std::optional<QString> project = chosenProject();
    if (!project)
        return std::nullopt;
    // A hand-edited list may hold a name that cannot be a file name; its
    // settings file, cover and page must never be written.
    if (!isUsableProjectName(*project)) {
        Messages::error(unusableProjectNameText(*project));
        return std::nullopt;
    }
    return project;
}

} // namespace tessaly
