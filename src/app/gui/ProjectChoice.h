#pragma once

#include <QString>
#include <optional>

namespace tessaly {

// The project the user has chosen in the window's list, as the commands
// that act on one project see it.
class ProjectChoice
{
public:
    virtual ~ProjectChoice() = default;

    // The selected row (0-based), or -1.
    virtual int selectedRow() const = 0;
    // The project the details pane shows; none when no row is selected.
    virtual std::optional<QString> chosenProject() const = 0;
    // True when a per-project command may go on; otherwise it has already
    // said why (or stays silent on an empty list).
    virtual bool guardChosenProject() = 0;
    // The chosen project when a command that reads or writes its files may
    // go on: the guard above, then a name that can be a file name. None
    // otherwise, with the reason already said.
    std::optional<QString> usableChosenProject();
    // Makes `row` the selected one, shown in the details pane.
    virtual void selectRow(int row) = 0;
    // The chosen project's files changed: the details pane reads them again,
    // or only the cover.
    virtual void refreshDetails() = 0;
    virtual void reloadCoverPreview() = 0;
    // The project just added at the top of the list becomes the chosen one.
    virtual void showProjectAddedAtTop() = 0;
    // After the chosen project left the list: nothing is chosen, and the
    // details pane shows its empty state.
    virtual void showProjectRemoved() = 0;
};

} // namespace tessaly
