#pragma once

#include "app/WorkspaceSession.h"
#include "app/gui/ProjectChoice.h"
#include "app/gui/WindowControls.h"
#include "app/gui/WindowWiring.h"

#include <QMainWindow>
#include <QString>
#include <memory>
#include <optional>

class QMenu;
class QTreeView;

namespace tessaly {

class BackgroundRun;
class DetailsPane;

// The program's one top-level window ("Tessaly"). It builds the controls
// (each with its objectName), shows the session's project list and the
// chosen project's details, and has the controls wired to the controllers
// that carry out the commands.
class MainWindow : public QMainWindow, public ProjectChoice
{
    Q_OBJECT

public:
    // The window works on an opened session, which outlives it, and reaches
    // the outside through `seams` (Qt's own where left empty).
    explicit MainWindow(WorkspaceSession &session, const WindowSeams &seams = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Shows the session's list after construction.
    void start();

    const Workspace &workspace() const { return m_session.workspace(); }
    const ProjectList &projects() const { return m_session.projects(); }

    int selectedRow() const override;
    QString selectedProject() const;
    std::optional<QString> chosenProject() const override;
    bool guardChosenProject() override;

    // Shows the project just inserted at the top of the list as row 1,
    // selects it and refreshes the details.
    void showProjectAddedAtTop() override;
    // The project-click handling for the selected row (`dianji` without the
    // dialog): fills or empties the details pane.
    void refreshDetails() override;
    // Reloads the cover preview from the chosen project's cover file.
    void reloadCoverPreview() override;

    // The one long job the window runs at a time, off its thread.
    BackgroundRun &backgroundRun() const { return *m_backgroundRun; }

    // Every control a command hangs on, by its role.
    const WindowControls &controls() const;
    QTreeView *projectView() const;
    DetailsPane *detailsPane() const;
    // The project list's context menu `MB` (never on the menu bar).
    QMenu *projectMenu() const;

    void selectRow(int row) override;
    // After the selected project left the list: nothing is selected, and
    // the details pane shows its empty state.
    void showProjectRemoved() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildControls();
    void showGuideWhileEmpty();

    WorkspaceSession &m_session;
    struct Controls;
    Controls *m_controls = nullptr;
    // Destroyed before the controllers, waiting for a job still going, so
    // nothing the job reports to goes first.
    std::unique_ptr<BackgroundRun> m_backgroundRun;
};

} // namespace tessaly
