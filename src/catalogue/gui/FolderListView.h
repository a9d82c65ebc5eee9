#pragma once

#include "catalogue/FolderNavigation.h"

#include <QTreeView>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace tessaly {

class NameListModel;

// The folder list both choosers share (`ListView1`): the current level's
// folders below the movie root, and the context menu `MM` that goes down
// into the selected folder ("打开文件夹") or back up ("返回上一级"). While
// it has the focus, Enter, Return and Right go down into the selected
// folder, Backspace and Left go up; a double click only confirms.
class FolderListView : public QTreeView
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

    // Down into the selected folder, whose first row is then selected.
    void openSelectedFolder();
    // Up one level, selecting the folder just left; at the root says
    // "已是根目录!".
    void goUp();

signals:
    // The selection moved, by mouse or keyboard, or the level changed.
    void selectedFolderChanged();
    // The list shows another level.
    void levelChanged();
    // A folder row was double-clicked: the chooser confirms it.
    void folderConfirmed();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();
    void selectRow(int row);
    void showContextMenu(const QPoint &position);

    FolderNavigation m_navigation;
    NameListModel *m_model = nullptr;
    MenuRule m_menuRule;
    QMenu *m_menu = nullptr;
    QAction *m_openAction = nullptr;
    QAction *m_upAction = nullptr;
};

// The plain-text label above the list that shows the current folder's full
// path (`Label1`), and the "返回上一级" button (`Command4`), disabled at the
// movie root. Both follow the list's level.
struct FolderLevelControls
{
    QLabel *path = nullptr;
    QPushButton *up = nullptr;
};
FolderLevelControls makeFolderLevelControls(FolderListView &list, QWidget *parent);

} // namespace tessaly
