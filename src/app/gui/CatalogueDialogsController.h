#pragma once

#include <QObject>

namespace tessaly {

class MainWindow;

// The catalogue's dialogs on the main window: "添加" (`Command1`) and the
// list menu's "新建" (`MB5`) open the new project dialog; "选择"
// (`Command3`) opens the episode folder chooser for the chosen project. A
// folder below the movie root dropped on the project list opens the new
// project dialog filled in for it.
class CatalogueDialogsController : public QObject
{
    Q_OBJECT

public:
    explicit CatalogueDialogsController(MainWindow &window);

    void openNewProject();
    void openNewProjectFor(const QString &droppedPath);
    void openEpisodeFolderChooser();

private:
    void runNewProject(const QString &name, const QString &folder);

    MainWindow &m_window;
};

} // namespace tessaly
