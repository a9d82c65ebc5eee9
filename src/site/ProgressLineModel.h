#pragma once

#include "site/Progress.h"

#include <QAbstractListModel>

namespace tessaly {

// The progress lines a person sees, one a row: the text as the display
// role, the line's icon as `IconRole` (a `ProgressIcon` as an int; the
// window draws it). Lines marked for the log only have no row. A batch of
// lines is one insertion, so that a run's tens of thousands of lines cost
// the view a handful of updates.
class ProgressLineModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        IconRole = Qt::UserRole + 1,
    };

    explicit ProgressLineModel(QObject *parent = nullptr);

    void append(const QList<ProgressLine> &lines);
    void clear();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QList<ProgressLine> m_lines;
};

} // namespace tessaly
