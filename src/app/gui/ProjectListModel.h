#pragma once

#include "app/WorkspaceSession.h"

#include <QAbstractListModel>
#include <QIcon>

class QTreeView;

namespace tessaly {

// The session's project list as rows of a view: one name a row, with the
// list's icon. It keeps no rows of its own; each change the session makes
// is reported as rows inserted, removed or moved, so that the view's
// selection follows the projects (a moved project stays selected).
// A row dragged within the list is carried as its row number; dropping it
// asks for the move and changes nothing itself. The model has no
// `removeRows`: the view can never take the dragged row away on its own.
class ProjectListModel : public QAbstractListModel, private ProjectListObserver
{
    Q_OBJECT

public:
    explicit ProjectListModel(WorkspaceSession &session, QObject *parent = nullptr);
    ~ProjectListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    // The project at row `from` was dropped before row `insertBefore`
    // (which may be the row count: after the last).
    void rowDropped(int from, int insertBefore);

private:
    void beginInsertRow(int row) override;
    void endInsertRow() override;
    void beginRemoveRow(int row) override;
    void endRemoveRow() override;
    void beginMoveRow(int from, int to) override;
    void endMoveRow() override;
    void rowChanged(int row) override;

    WorkspaceSession &m_session;
    QIcon m_icon;
};

// `ListView1`, set up as every list of the window is, over `model`.
QTreeView *makeProjectView(ProjectListModel *model, QWidget *parent);

} // namespace tessaly
