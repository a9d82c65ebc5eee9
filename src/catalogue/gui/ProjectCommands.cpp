#include "catalogue/gui/ProjectCommands.h"

#include "app/gui/MainWindow.h"
#include "catalogue/ProjectRemoval.h"
#include "catalogue/ProjectSelection.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace tessaly {

ProjectCommands::ProjectCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("ProjectCommands"));
    QTreeWidget *view = window.projectView();
    connect(view, &QWidget::customContextMenuRequested, this, &ProjectCommands::showMenu);
    connect(window.button("Command2"), &QPushButton::clicked, this, &ProjectCommands::deleteSelected);
    connect(window.action("MB6"), &QAction::triggered, this, &ProjectCommands::deleteSelected);
    connect(window.action("MB7"), &QAction::triggered, this, &ProjectCommands::openSelectedFolder);
    connect(window.action("MB3"), &QAction::triggered, this,
            [this] { moveSelected(&ProjectList::moveToFirst); });
    connect(window.action("MB1"), &QAction::triggered, this, [this] { moveSelected(&ProjectList::moveUp); });
    connect(window.action("MB2"), &QAction::triggered, this,
            [this] { moveSelected(&ProjectList::moveDown); });
    connect(window.action("MB4"), &QAction::triggered, this,
            [this] { moveSelected(&ProjectList::moveToLast); });
}

bool ProjectCommands::prepareMenu()
{
    const ProjectMenuPlan plan = projectMenuPlan(m_window.projects().size(), m_window.selectedRow());
    if (!plan.show)
        return false;
    const bool all = !plan.onlyNew;
    m_window.action("MB5")->setVisible(true);
    m_window.action("MB6")->setVisible(all);
    m_window.action("MB7")->setVisible(all);
    m_window.action("MB3")->setVisible(all && plan.moveUpward);
    m_window.action("MB1")->setVisible(all && plan.moveUpward);
    m_window.action("MB2")->setVisible(all && plan.moveDownward);
    m_window.action("MB4")->setVisible(all && plan.moveDownward);
    return true;
}

void ProjectCommands::showMenu(const QPoint &position)
{
    if (prepareMenu())
        m_window.projectMenu()->popup(m_window.projectView()->viewport()->mapToGlobal(position));
}

void ProjectCommands::deleteSelected()
{
    const int row = m_window.selectedRow();
    if (row < 0)
        return;
    if (!listMayChange(m_window.projects(), m_window.workspace().listFile()))
        return;
    const QString name = m_window.selectedProject();
    if (Messages::question(QStringLiteral("要删除选中的项目吗?\r\n") + name) != MessageAnswer::Yes)
        return;
    if (!deleteProject(m_window.workspace(), m_window.projects(), row))
        return;
    m_window.removeProjectRow(row);
    Messages::information(deletedText());
}

void ProjectCommands::openSelectedFolder()
{
    if (m_window.selectedRow() < 0)
        return;
    const QString name = m_window.selectedProject();
    const ProjectFolder folder = projectFolderToOpen(m_window.workspace(), name);
    switch (folder.outcome) {
    case ProjectFolder::Outcome::Nothing:
        break;
    case ProjectFolder::Outcome::UnusableName:
        Messages::error(unusableProjectNameText(name));
        break;
    case ProjectFolder::Outcome::Open:
        Desktop::instance()->openFolder(folder.path);
        break;
    case ProjectFolder::Outcome::Missing:
        Messages::error(Messages::withPath(folder.path, QStringLiteral("文件夹不存在!")));
        break;
    }
}

void ProjectCommands::moveSelected(int (ProjectList::*move)(int))
{
    const int row = m_window.selectedRow();
    if (row < 0)
        return;
    ProjectList &projects = m_window.projects();
    if (!listMayChange(projects, m_window.workspace().listFile()))
        return;
    // The selection follows the moved project, so the next command acts on
    // the project the user just moved. A list that cannot be saved keeps
    // the rows the file has.
    const QStringList before = projects.names();
    const int movedTo = (projects.*move)(row);
    if (!m_window.saveProjectList()) {
        projects.setNames(before);
        return;
    }
    m_window.syncRows(qMin(row, movedTo), qMax(row, movedTo));
    m_window.selectRow(movedTo);
}

} // namespace tessaly
