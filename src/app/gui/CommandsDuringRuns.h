#pragma once

#include <QList>

class QAction;
class QObject;

namespace tessaly {

class BackgroundRun;
struct WindowControls;

// While `background` runs a job, every command of the window that changes
// the workspace is disabled: its buttons (and so their keys), menu and
// context menu items, `moreCommands` (the list's move keys, menu items the
// controllers made), and drops on the project list and the cover. Choosing a project, opening folders and
// links, scrolling and resizing go on. Installed after the controllers' own drop handling; it belongs to
// `owner`.
void disableWorkspaceCommandsDuringRuns(BackgroundRun &background, const WindowControls &controls,
                                        const QList<QAction *> &moreCommands, QObject *owner);

} // namespace tessaly
