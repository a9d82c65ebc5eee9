#include "app/gui/ProjectListModel.h"

#include "catalogue/gui/DetailsPane.h"
#include "platform/gui/RowIcons.h"

#include <QTreeView>

namespace tessaly {

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

QTreeView *makeProjectView(ProjectListModel *model, QWidget *parent)
{
    auto *view = new QTreeView(parent);
    view->setModel(model);
    setUpRowList(view, QStringLiteral("ListView1"));
    return view;
}

} // namespace tessaly
