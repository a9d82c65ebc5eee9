#pragma once

#include <QObject>

namespace tessaly {

class MainWindow;

// The menu "菜单" apart from "设置", and the window's "打开影片站点链接":
// folders shown in the file manager, the cache and log emptied, and the
// page style edited in "布局设计".
class WorkspaceMenu : public QObject
{
    Q_OBJECT

public:
    explicit WorkspaceMenu(MainWindow &window);

    void editPageSource();
    void openMovieFolder();
    void openSiteFolder();
    void clearCache();
    void clearLog();
    void editStyle();

private:
    MainWindow &m_window;
};

} // namespace tessaly
