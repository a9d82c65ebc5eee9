#include "app/gui/ProjectCommands.h"

#include "app/gui/KeyboardAndTips.h"
#include "app/gui/MainWindow.h"
#include "catalogue/ProjectRemoval.h"
#include "catalogue/ProjectSelection.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"

#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>

namespace tessaly {

ProjectCommands::ProjectCommands(MainWindow &window) : QObject(&window), m_window(window)
{
    setObjectName(QStringLiteral("ProjectCommands"));
    QTreeView *view = window.projectView();
    connect(view, &QWidget::customContextMenuRequested, this, &ProjectCommands::showMenu);
    connect(window.button("Command2"), &QPushButton::clicked, this, &ProjectCommands::deleteSelected);
    connect(window.action("MB6"), &QAction::triggered, this, &ProjectCommands::deleteSelected);
    connect(window.action("MB7"), &QAction::triggered, this, &ProjectCommands::openSelectedFolder);
    connect(window.action("MB3"), &QAction::triggered, this,
            [this] { moveSelected(WorkspaceSession::Move::ToFirst); });
    connect(window.action("MB1"), &QAction::triggered, this,
            [this] { moveSelected(WorkspaceSession::Move::Up); });
    connect(window.action("MB2"), &QAction::triggered, this,
            [this] { moveSelected(WorkspaceSession::Move::Down); });
    connect(window.action("MB4"), &QAction::triggered, this,
            [this] { moveSelected(WorkspaceSession::Move::ToLast); });

    addButtonShortcut(view, window.button("Command2"), QKeySequence(Qt::Key_Delete), Qt::WidgetShortcut);
    const auto addMoveKeys = [this, &window](const char *menuItem, QKeySequence keys,
                                             WorkspaceSession::Move move) {
        QAction *item = window.action(menuItem);
        auto *action = new QAction(item->text(), &window);
        action->setObjectName(QLatin1String(menuItem) + QStringLiteral("Keys"));
        action->setShortcut(keys);
        window.addAction(action);
        item->setToolTip(toolTipWithKeys(item->text(), keys));
        connect(action, &QAction::triggered, this, [this, move] { moveSelected(move); });
    };
    addMoveKeys("MB1", QKeySequence(Qt::CTRL | Qt::Key_Up), WorkspaceSession::Move::Up);
    addMoveKeys("MB2", QKeySequence(Qt::CTRL | Qt::Key_Down), WorkspaceSession::Move::Down);

    // A row dragged within the list moves there; drops from outside are the
    // catalogue dialogs' business.
    view->setDragEnabled(true);
    view->setDragDropMode(QAbstractItemView::DragDrop);
    view->setDefaultDropAction(Qt::MoveAction);
    view->setDropIndicatorShown(true);
    view->viewport()->installEventFilter(this);
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
    if (m_window.session().remove(row).done())
        m_window.showProjectRemoved();
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

void ProjectCommands::moveSelected(WorkspaceSession::Move move)
{
    const int row = m_window.selectedRow();
    if (row < 0)
        return;
    moveRow(row, move);
}

void ProjectCommands::moveSelectedTo(int target)
{
    const int row = m_window.selectedRow();
    if (row < 0)
        return;
    showMove(m_window.session().moveTo(row, target));
}

void ProjectCommands::moveRow(int row, WorkspaceSession::Move move)
{
    showMove(m_window.session().move(row, move));
}

void ProjectCommands::showMove(const CommandOutcome &outcome)
{
    // The selection follows the moved project, so the next command acts on
    // the project the user just moved.
    if (outcome.done())
        m_window.selectRow(outcome.row);
}

int ProjectCommands::rowAfterDrop(int fromRow, int insertBefore)
{
    return insertBefore > fromRow ? insertBefore - 1 : insertBefore;
}

int ProjectCommands::insertionRowAt(const QPoint &position) const
{
    QTreeView *view = m_window.projectView();
    const QModelIndex index = view->indexAt(position);
    if (!index.isValid())
        return view->model()->rowCount();
    const QRect rect = view->visualRect(index);
    return position.y() < rect.center().y() ? index.row() : index.row() + 1;
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

bool ProjectCommands::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: the list may be half destroyed when other events come.
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    QTreeView *view = m_window.projectView();
    if (watched != view->viewport())
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    if (drop->source() != view) {
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
    switch (type) {
    case QEvent::Drop: {
        const int from = m_window.selectedRow();
        const int target = rowAfterDrop(from, insertionRowAt(drop->position().toPoint()));
        // Copy, not move: the list itself must not remove the dragged row.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (from >= 0 && target != from) {
            // After the drag has ended, so that a message about a failed
            // save is not shown inside it.
            QMetaObject::invokeMethod(
                this, [this, target] { moveSelectedTo(target); }, Qt::QueuedConnection);
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace tessaly
