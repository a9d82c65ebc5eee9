#pragma once

#include "covers/CoverScan.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>

namespace tessaly::covers {

// The search dialogs' result rows: the title shown under "名称" and the
// picture's link in a second column the list keeps hidden.
class CandidateListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        TitleColumn,
        LinkColumn,
        ColumnCount
    };

    explicit CandidateListModel(QObject *parent = nullptr);

    void setCandidates(const QList<CoverCandidate> &candidates);
    const CoverCandidate &candidate(int row) const { return m_candidates.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QList<CoverCandidate> m_candidates;
    QIcon m_icon;
};

} // namespace tessaly::covers
