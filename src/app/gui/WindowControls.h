#pragma once

class QAction;
class QMenu;
class QPushButton;
class QTreeView;

namespace tessaly {

class DetailsPane;
class FirstStepsGuide;

// Every control of the main window that a command hangs on, by its role,
// filled once as the window builds them. The wiring takes them from here.
struct WindowControls
{
    QTreeView *projectView = nullptr; // `ListView1`
    DetailsPane *details = nullptr;   // `Frame1`
    FirstStepsGuide *guide = nullptr; // in place of `Frame1` while the list is empty
    QMenu *projectMenu = nullptr;     // `MB`, the list's context menu

    QPushButton *add = nullptr;           // `Command1` "添加"
    QPushButton *remove = nullptr;        // `Command2` "删除"
    QPushButton *chooseFolder = nullptr;  // `Command3` "选择"
    QPushButton *generate = nullptr;      // `Command4` "生成整站内容"
    QPushButton *pickCover = nullptr;     // `Command5` "选取封面"
    QPushButton *update = nullptr;        // `Command6` "更新本集内容"
    QPushButton *openSiteLink = nullptr;  // `Command8` "打开影片站点链接"
    QPushButton *searchSite1 = nullptr;   // `Command10` "查找封面 - 站点1"
    QPushButton *searchSite2 = nullptr;   // `Command11` "查找封面 - 站点2"
    QPushButton *grabFromVideo = nullptr; // `Command12` "从视频截取封面"
    QPushButton *convert = nullptr;       // `Command13` "转换为网页格式"
    QPushButton *openExample = nullptr;   // "打开示例", in the guide

    QAction *settings = nullptr;          // `M1` "设置"
    QAction *editPageSource = nullptr;    // `M2` "编辑页面源码"
    QAction *openMovieFolder = nullptr;   // `M3` "打开影片文件夹"
    QAction *openSiteFolder = nullptr;    // `M4` "打开站点文件夹"
    QAction *clearCache = nullptr;        // `M5` "清空缓存文件"
    QAction *clearLogs = nullptr;         // `M6` "清空日志"
    QAction *editStyle = nullptr;         // `M7` "布局设计"
    QAction *grabMissingCovers = nullptr; // `M8` "为无封面项目截取封面"
    QAction *convertAll = nullptr;        // `M9` "转换所有无法播放的剧集"

    QAction *moveUp = nullptr;            // `MB1` "上移"
    QAction *moveDown = nullptr;          // `MB2` "下移"
    QAction *moveToFirst = nullptr;       // `MB3` "移动到第一项"
    QAction *moveToLast = nullptr;        // `MB4` "移动到最后项"
    QAction *newProject = nullptr;        // `MB5` "新建"
    QAction *renameProject = nullptr;     // `MB8` "重命名"
    QAction *deleteProject = nullptr;     // `MB6` "删除"
    QAction *openProjectFolder = nullptr; // `MB7` "打开文件路径"
};

} // namespace tessaly
