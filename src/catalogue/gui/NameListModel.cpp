#include "catalogue/gui/NameListModel.h"

namespace tessaly {

NameListModel::NameListModel(QString heading, QIcon icon, QObject *parent)
    : QAbstractListModel(parent), m_heading(std::move(heading)), m_icon(std::move(icon))
{}

void NameListModel::setNames(const QStringList &names)
{
    beginResetModel();
    m_names = names;
    endResetModel();
}

void NameListModel::setHeading(const QString &heading)
{
    if (heading == m_heading)
        return;
    m_heading = heading;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

int NameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant NameListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_names.at(index.row());
    case Qt::DecorationRole:
        return m_icon;
    default:
        return {};
    }
}

QVariant NameListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section != 0 || orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return m_heading;
}

Qt::ItemFlags NameListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace tessaly
