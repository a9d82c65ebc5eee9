#include "app/gui/ProjectListModel.h"

#include "catalogue/gui/DetailsPane.h"
#include "platform/gui/RowIcons.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTreeView>

namespace tessaly {
namespace {

const QString RowMimeType = QStringLiteral("application/x-tessaly-project-row");

// The dragged row's number, or -1 when the data is not a row of this list.
int draggedRow(const QMimeData *data)
{
    if (!data || !data->hasFormat(RowMimeType))
        return -1;
    bool ok = false;
    const int row = data->data(RowMimeType).toInt(&ok);
    return ok ? row : -1;
}

// The project list: a drop of its own row is reported as a copy, so the
// drag's end never removes the dragged row; the model moves it instead.
class ProjectView : public QTreeView
{
public:
    using QTreeView::QTreeView;

protected:
    void dropEvent(QDropEvent *event) override
    {
        QTreeView::dropEvent(event);
        if (event->isAccepted() && event->source() == this)
            event->setDropAction(Qt::CopyAction);
    }
};

} // namespace

ProjectListModel::ProjectListModel(WorkspaceSession &session, QObject *parent)
    : QAbstractListModel(parent), m_session(session), m_icon(rowIcon(7))
{
    m_session.setObserver(this);
}

ProjectListModel::~ProjectListModel()
{
    m_session.setObserver(nullptr);
}

int ProjectListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_session.projects().size();
}

QVariant ProjectListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_session.projects().size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_session.projects().names().at(index.row());
    case Qt::DecorationRole:
        return m_icon;
    default:
        return {};
    }
}

QVariant ProjectListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("项目");
    return {};
}

Qt::ItemFlags ProjectListModel::flags(const QModelIndex &index) const
{
    // Rows may be dragged but take no drops onto themselves, so a drop
    // always lands between rows.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

void ProjectListModel::beginInsertRow(int row)
{
    beginInsertRows(QModelIndex(), row, row);
}

void ProjectListModel::endInsertRow()
{
    endInsertRows();
}

void ProjectListModel::beginRemoveRow(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
}

void ProjectListModel::endRemoveRow()
{
    endRemoveRows();
}

void ProjectListModel::beginMoveRow(int from, int to)
{
    // Qt names the row the moved one goes before, counted before the move.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
}

void ProjectListModel::endMoveRow()
{
    endMoveRows();
}

void ProjectListModel::rowChanged(int row)
{
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

QStringList ProjectListModel::mimeTypes() const
{
    return {RowMimeType};
}

QMimeData *ProjectListModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty() || !indexes.first().isValid())
        return nullptr;
    auto *data = new QMimeData;
    data->setData(RowMimeType, QByteArray::number(indexes.first().row()));
    return data;
}

Qt::DropActions ProjectListModel::supportedDragActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions ProjectListModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

bool ProjectListModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int,
                                       const QModelIndex &parent) const
{
    const int from = draggedRow(data);
    return !parent.isValid() && (action & supportedDropActions()) && from >= 0 && from < rowCount();
}

bool ProjectListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                    const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    emit rowDropped(draggedRow(data), row < 0 ? rowCount() : row);
    return true;
}

QTreeView *makeProjectView(ProjectListModel *model, QWidget *parent)
{
    auto *view = new ProjectView(parent);
    view->setModel(model);
    setUpRowList(view, QStringLiteral("ListView1"));
    return view;
}

} // namespace tessaly
