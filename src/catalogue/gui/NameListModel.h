#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QStringList>

namespace tessaly {

// A one-column list of names under a heading, each shown with the same
// icon: the folder choosers' folders and the episode files of the folder
// selected in them.
class NameListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    NameListModel(QString heading, QIcon icon, QObject *parent = nullptr);

    void setNames(const QStringList &names);
    void setHeading(const QString &heading);
    QString name(int row) const { return m_names.value(row); }
    // The first row with exactly this name, or -1.
    int rowOf(const QString &name) const { return int(m_names.indexOf(name)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QString m_heading;
    QIcon m_icon;
    QStringList m_names;
};

} // namespace tessaly
