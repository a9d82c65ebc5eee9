#pragma once

#include "app/WorkspaceSession.h"

#include <QObject>
#include <functional>

class QPoint;

namespace tessaly {

class MainWindow;

// The project list's own commands: its context menu `MB`, the four moves,
// "删除" (button, menu and Delete while the list has the focus), "打开文件路径",
// Ctrl+Up and Ctrl+Down, and dragging a project to another row. Nothing
// dropped from outside changes the list; a dropped path is passed on.
class ProjectCommands : public QObject
{
    Q_OBJECT

public:
    explicit ProjectCommands(MainWindow &window);

    // Sets which items of `MB` show; false when no menu is to be shown.
    bool prepareMenu();
    void showMenu(const QPoint &position);

    void deleteSelected();
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
    void moveRow(int row, WorkspaceSession::Move move);
    void showMove(const CommandOutcome &outcome);
    // The row a drop at `position` of the list's viewport puts a row before.
    int insertionRowAt(const QPoint &position) const;

    MainWindow &m_window;
};

} // namespace tessaly
