#include "app/gui/ProjectCommandsController.h"

#include "app/gui/ProjectChoice.h"
#include "app/gui/ProjectListModel.h"
#include "catalogue/ProjectRemoval.h"
#include "catalogue/ProjectSelection.h"
#include "catalogue/gui/RenameDialog.h"
#include "files/FileTexts.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"
#include "settings/RecordedPaths.h"

#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTreeView>

namespace tessaly {

ProjectCommandsController::ProjectCommandsController(WorkspaceSession &session, ProjectChoice &choice,
                                                     Desktop &desktop, QTreeView *projectView,
                                                     const ProjectMenu &menu, QObject *owner)
    : QObject(owner), m_session(session), m_choice(choice), m_desktop(desktop), m_view(projectView),
      m_menu(menu)
{
    setObjectName(QStringLiteral("ProjectCommandsController"));
    // A row dragged within the list moves there; drops from outside are the
    // catalogue dialogs' business.
    m_view->setDragEnabled(true);
    m_view->setDragDropMode(QAbstractItemView::DragDrop);
    m_view->setDefaultDropAction(Qt::MoveAction);
    m_view->setDropIndicatorShown(true);
    m_view->viewport()->installEventFilter(this);
    if (auto *model = qobject_cast<ProjectListModel *>(m_view->model())) {
        // After the drag has ended, so that a message about a failed save is
        // not shown inside it.
        connect(
            model, &ProjectListModel::rowDropped, this,
            [this](int from, int insertBefore) {
                const int target = rowAfterDrop(from, insertBefore);
                if (from == m_choice.selectedRow() && target != from)
                    moveSelectedTo(target);
            },
            Qt::QueuedConnection);
    }
}

bool ProjectCommandsController::prepareMenu()
{
    const ProjectMenuPlan plan = projectMenuPlan(m_session.projects().size(), m_choice.selectedRow());
    if (!plan.show)
        return false;
    const bool all = !plan.onlyNew;
    m_menu.newProject->setVisible(true);
    m_menu.renameProject->setVisible(all);
    m_menu.deleteProject->setVisible(all);
    m_menu.openFolder->setVisible(all);
    m_menu.moveToFirst->setVisible(all && plan.moveUpward);
    m_menu.moveUp->setVisible(all && plan.moveUpward);
    m_menu.moveDown->setVisible(all && plan.moveDownward);
    m_menu.moveToLast->setVisible(all && plan.moveDownward);
    return true;
}

void ProjectCommandsController::showMenu(const QPoint &position)
{
    if (prepareMenu())
        m_menu.menu->popup(m_view->viewport()->mapToGlobal(position));
}

int ProjectCommandsController::selectedRowToChange() const
{
    const int row = m_choice.selectedRow();
    if (row < 0)
        return -1;
    if (const files::Outcome<void> may =
            listMayChange(m_session.projects(), m_session.workspace().listFile());
        !may) {
        Messages::error(may.failure().text());
        return -1;
    }
    return row;
}

void ProjectCommandsController::deleteSelected()
{
    const int row = selectedRowToChange();
    if (row < 0)
        return;
    const QString name = m_session.projects().names().at(row);
    if (Messages::question(QStringLiteral("要删除选中的项目吗?\r\n") + name) != MessageAnswer::Yes)
        return;
    if (m_session.remove(row).done())
        m_choice.showProjectRemoved();
}

void ProjectCommandsController::renameSelected()
{
    const int row = selectedRowToChange();
    if (row < 0)
        return;
    RenameDialog dialog(
        m_session.projects().names().at(row),
        [this, row](const QString &name) {
            const CommandOutcome outcome = m_session.rename(row, name);
            if (m_session.projects().names().at(row) == name)
                m_choice.refreshDetails();
            return outcome.done();
        },
        m_view->window());
    dialog.exec();
}

void ProjectCommandsController::openSelectedFolder()
{
    const int row = m_choice.selectedRow();
    if (row < 0)
        return;
    const QString name = m_session.projects().names().at(row);
    const ProjectFolder folder = projectFolderToOpen(m_session.workspace(), name);
    switch (folder.outcome) {
    case ProjectFolder::Outcome::Nothing:
        break;
    case ProjectFolder::Outcome::UnusableName:
        Messages::error(unusableProjectNameText(name));
        break;
    case ProjectFolder::Outcome::UnusableFolder:
        Messages::error(settings::unusableEpisodeFolderText(folder.path));
        break;
    case ProjectFolder::Outcome::Open:
        m_desktop.openFolderOrSay(folder.path);
        break;
    case ProjectFolder::Outcome::Missing:
        Messages::error(Messages::withPath(folder.path, files::texts::folderMissing()));
        break;
    }
}

void ProjectCommandsController::moveSelected(WorkspaceSession::Move move)
{
    const int row = m_choice.selectedRow();
    if (row < 0)
        return;
    moveRow(row, move);
}

void ProjectCommandsController::moveSelectedTo(int target)
{
    const int row = m_choice.selectedRow();
    if (row < 0)
        return;
    showMove(m_session.moveTo(row, target));
}

void ProjectCommandsController::moveRow(int row, WorkspaceSession::Move move)
{
    showMove(m_session.move(row, move));
}

void ProjectCommandsController::showMove(const CommandOutcome &outcome)
{
    // The selection follows the moved project, so the next command acts on
    // the project the user just moved.
    if (outcome.done())
        m_choice.selectRow(outcome.row);
}

int ProjectCommandsController::rowAfterDrop(int fromRow, int insertBefore)
{
    return insertBefore > fromRow ? insertBefore - 1 : insertBefore;
}

namespace {

// The one local path a drag from outside carries, or empty.
QString singleLocalPath(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    return data->urls().first().toLocalFile();
}

} // namespace

// Drops of the list's own rows go through its model; this takes the drops
// from outside only.
bool ProjectCommandsController::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: the list may be half destroyed when other events come.
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    QTreeView *view = m_view;
    if (watched != view->viewport())
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    if (drop->source() == view)
        return false;
    // Never the list's own handling: it would add rows the project list
    // does not have.
    const QString path = singleLocalPath(drop->mimeData());
    if (path.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        QMetaObject::invokeMethod(
            this, [this, path] { emit pathDropped(path); }, Qt::QueuedConnection);
    }
    return true;
}

} // namespace tessaly
