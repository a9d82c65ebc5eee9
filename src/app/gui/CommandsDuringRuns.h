#pragma once

namespace tessaly {

class MainWindow;

// While the window's background job runs, every command that changes the
// workspace is disabled: its buttons (and so their keys), menu and context
// menu items, the list's move keys, and drops on the project list and the
// cover. Choosing a project, opening folders and links, scrolling and
// resizing go on.
void disableWorkspaceCommandsDuringRuns(MainWindow &window);

} // namespace tessaly
