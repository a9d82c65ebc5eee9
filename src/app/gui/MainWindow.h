#pragma once

#include "catalogue/ProjectList.h"
#include "site/Style.h"
#include "workspace/Workspace.h"

#include <QMainWindow>
#include <QString>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace tessaly {

class BackgroundRun;
class DetailsPane;

// The program's one top-level window ("Tessaly"). It builds the controls
// (each with its objectName), holds the project list and the working
// templates, and hands each command to the subsystem that owns it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(const Workspace &workspace, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up after construction: list load, then the style load.
    void start();

    const Workspace &workspace() const { return m_workspace; }
    ProjectList &projects() { return m_projects; }
    const WorkingTemplates &templates() const { return m_templates; }
    // `UpdateStyle` into the working templates.
    void runStyleLoad();

    // The selected row of ListView1 (0-based), or -1.
    int selectedRow() const;
    QString selectedProject() const;
    // The project the details pane shows; empty optional when none.
    std::optional<QString> chosenProject() const;
    // The chosen-project guard: true when a per-project command may go on;
    // otherwise it has already said why (or stays silent on an empty list).
    bool guardChosenProject();

    // `Baocun`: saves the list, reporting a failure. True when saved.
    bool saveProjectList();
    // "添加" without the dialog: creates the project as `tessaly-cli add`
    // does (no episode folder) and shows it. True when it was added.
    bool addProjectAtTop(const QString &name);
    // Shows the project just inserted at the top of the list as row 1,
    // selects it and refreshes the details.
    void showProjectAddedAtTop();
    // The project-click handling for the selected row (`dianji` without the
    // dialog): fills or empties the details pane.
    void refreshDetails();
    // Reloads the cover preview from the chosen project's cover file.
    void reloadCoverPreview();

    // "打开影片站点链接": opens `WebLink` through the desktop (nothing when empty).
    void openSiteLink();

    // The one long job the window runs at a time, off its thread.
    BackgroundRun &backgroundRun() const { return *m_backgroundRun; }

    QPushButton *button(const char *objectName) const;
    QAction *action(const char *objectName) const;
    QTreeWidget *projectView() const;
    DetailsPane *detailsPane() const;
    // The project list's context menu `MB` (never on the menu bar).
    QMenu *projectMenu() const;

    // Row upkeep for the list commands: rows first..last show their names
    // again; a row becomes the one selected; the row of a project already
    // taken from the list goes, leaving none selected (the details pane then
    // shows its empty state).
    void syncRows(int first, int last);
    void selectRow(int row);
    void removeProjectRow(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildControls();
    void showProjectRows();

    Workspace m_workspace;
    ProjectList m_projects;
    WorkingTemplates m_templates;
    struct Controls;
    Controls *m_controls = nullptr;
    // Destroyed before the controllers, waiting for a job still going, so
    // nothing the job reports to goes first.
    std::unique_ptr<BackgroundRun> m_backgroundRun;
};

} // namespace tessaly
