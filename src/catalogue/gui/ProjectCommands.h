#pragma once

#include "catalogue/ProjectList.h"

#include <QObject>

class QPoint;

namespace tessaly {

class MainWindow;

// The project list's own commands: its context menu `MB`, the four moves,
// "删除" (button and menu) and "打开文件路径".
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
    void moveSelected(int (ProjectList::*move)(int));

private:
    MainWindow &m_window;
};

} // namespace tessaly
