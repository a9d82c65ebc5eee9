#include "site/ProgressLineModel.h"

#include <algorithm>
#include <iterator>

namespace tessaly {

ProgressLineModel::ProgressLineModel(QObject *parent) : QAbstractListModel(parent) {}

void ProgressLineModel::append(const QList<ProgressLine> &lines)
{
    const auto shown = [](const ProgressLine &line) { return !line.logOnly; };
    const qsizetype count = std::count_if(lines.begin(), lines.end(), shown);
    if (count == 0)
        return;
    const int first = int(m_lines.size());
    beginInsertRows({}, first, first + int(count) - 1);
    m_lines.reserve(m_lines.size() + count);
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(m_lines), shown);
    endInsertRows();
}

void ProgressLineModel::clear()
{
    if (m_lines.isEmpty())
        return;
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

int ProgressLineModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant ProgressLineModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ProgressLine &line = m_lines.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return line.text;
    case IconRole:
        return int(line.icon);
    default:
        return {};
    }
}

Qt::ItemFlags ProgressLineModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace tessaly
