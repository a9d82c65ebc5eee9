#pragma once

#include "platform/gui/BrowserView.h"

#include <QObject>

class QWidget;

namespace tessaly {

class ColourChooser;
class Desktop;
class WorkspaceSession;

// The workspace's own commands of the menu "菜单" apart from "设置", and
// "打开影片站点链接": folders and the site link shown through the desktop,
// the cache and log emptied, and the page style edited in "布局设计".
class WorkspaceMenuController : public QObject
{
    Q_OBJECT

public:
    // "布局设计" opens modal over `dialogParent`, which owns the menu.
    WorkspaceMenuController(WorkspaceSession &session, Desktop &desktop, BrowserFactory makeBrowser,
                            ColourChooser &colours, QWidget *dialogParent);

    void editPageSource();
    void openMovieFolder();
    void openSiteFolder();
    void clearCache();
    void clearLog();
    void editStyle();
    // Opens `WebLink` through the desktop (nothing when it is empty).
    void openSiteLink();

private:
    WorkspaceSession &m_session;
    Desktop &m_desktop;
    BrowserFactory m_makeBrowser;
    ColourChooser &m_colours;
    QWidget *m_dialogParent;
};

} // namespace tessaly
