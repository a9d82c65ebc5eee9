#pragma once

#include "app/WorkspaceSession.h"

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QPoint;
class QTreeView;

namespace tessaly {

class Desktop;
class ProjectChoice;

// The project list's context menu `MB` and the items whose showing depends
// on the list and its selection.
struct ProjectMenu
{
    QMenu *menu = nullptr;
    QAction *newProject = nullptr;    // `MB5`
    QAction *renameProject = nullptr; // `MB8`
    QAction *deleteProject = nullptr; // `MB6`
    QAction *openFolder = nullptr;    // `MB7`
    QAction *moveToFirst = nullptr;   // `MB3`
    QAction *moveUp = nullptr;        // `MB1`
    QAction *moveDown = nullptr;      // `MB2`
    QAction *moveToLast = nullptr;    // `MB4`
};

// The project list's own commands: its context menu, the four moves,
// deleting and opening the selected project's folder, and dragging a
// project to another row. Nothing dropped from outside changes the list; a
// dropped path is passed on.
class ProjectCommandsController : public QObject
{
    Q_OBJECT

public:
    // `projectView` shows the session's list; the controller belongs to
    // `owner`.
    ProjectCommandsController(WorkspaceSession &session, ProjectChoice &choice, Desktop &desktop,
                              QTreeView *projectView, const ProjectMenu &menu, QObject *owner);

    // Sets which items of `MB` show; false when no menu is to be shown.
    bool prepareMenu();
    void showMenu(const QPoint &position);

    void deleteSelected();
    // "重命名" and F2: the name dialog for the selected project, which stays
    // selected under its new name.
    void renameSelected();
    void openSelectedFolder();
    void moveSelected(WorkspaceSession::Move move);
    // Moves the selected project to row `target` and keeps it selected.
    void moveSelectedTo(int target);

    // The row a project dragged from `fromRow` lands on when dropped before
    // row `insertBefore` (which may be the row count: after the last).
    static int rowAfterDrop(int fromRow, int insertBefore);

signals:
    // One file or folder was dropped on the list from outside the program's
    // list itself; emitted once the drop is over.
    void pathDropped(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The selected row when the list may change, -1 otherwise (after saying
    // why the list may not).
    int selectedRowToChange() const;
    void moveRow(int row, WorkspaceSession::Move move);
    void showMove(const CommandOutcome &outcome);

    WorkspaceSession &m_session;
    ProjectChoice &m_choice;
    Desktop &m_desktop;
    QTreeView *m_view;
    ProjectMenu m_menu;
};

} // namespace tessaly
