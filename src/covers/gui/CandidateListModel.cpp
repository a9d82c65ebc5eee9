#include "covers/gui/CandidateListModel.h"

#include "covers/gui/SearchDialogParts.h"

namespace tessaly::covers {

CandidateListModel::CandidateListModel(QObject *parent) : QAbstractTableModel(parent), m_icon(candidateIcon())
{}

void CandidateListModel::setCandidates(const QList<CoverCandidate> &candidates)
{
    beginResetModel();
    m_candidates = candidates;
    endResetModel();
}

int CandidateListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_candidates.size());
}

int CandidateListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CandidateListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const CoverCandidate &row = m_candidates.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == TitleColumn ? row.title : row.link;
    case Qt::DecorationRole:
        return index.column() == TitleColumn ? QVariant(m_icon) : QVariant();
    default:
        return {};
    }
}

QVariant CandidateListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == TitleColumn ? QStringLiteral("名称") : QString();
}

Qt::ItemFlags CandidateListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace tessaly::covers
