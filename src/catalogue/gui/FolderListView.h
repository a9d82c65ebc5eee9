#pragma once

#include "catalogue/FolderNavigation.h"

#include <QTreeWidget>

class QAction;
class QMenu;

namespace tessaly {

// The folder list both choosers share (`ListView1`): the current level's
// folders below the movie root, and the context menu `MM` that goes down
// into the selected folder ("打开文件夹") or back up ("返回上一级").
class FolderListView : public QTreeWidget
{
    Q_OBJECT

public:
    // When the menu is offered on a list that has rows but no selection.
    enum class MenuRule
    {
        OfferedWithoutSelection,
        OnlyWithSelection
    };

    FolderListView(FolderNavigation navigation, MenuRule menuRule, QWidget *parent = nullptr);

    const FolderNavigation &navigation() const { return m_navigation; }
    // The selected folder's bare name; empty when no row is selected.
    QString selectedName() const;
    QMenu *contextMenu() const { return m_menu; }

    void openSelectedFolder();
    void goUp();

signals:
    // The selection moved, by mouse or keyboard, or the level changed.
    void selectedFolderChanged();
    // A folder row was double-clicked: the chooser confirms it.
    void folderConfirmed();

private:
    void fill();
    void showContextMenu(const QPoint &position);

    FolderNavigation m_navigation;
    MenuRule m_menuRule;
    QMenu *m_menu = nullptr;
    QAction *m_openAction = nullptr;
    QAction *m_upAction = nullptr;
};

} // namespace tessaly
