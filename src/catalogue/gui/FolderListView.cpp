#include "catalogue/gui/FolderListView.h"

#include "catalogue/gui/NameListModel.h"
#include "platform/Messages.h"
#include "platform/gui/Buttons.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>

namespace tessaly {

FolderListView::FolderListView(FolderNavigation navigation, MenuRule menuRule, QWidget *parent)
    : QTreeView(parent), m_navigation(std::move(navigation)), m_menuRule(menuRule)
{
    setObjectName(QStringLiteral("ListView1"));
    m_model = new NameListModel(QStringLiteral("项目"), style()->standardIcon(QStyle::SP_DirIcon), this);
    setModel(m_model);
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);

    m_menu = new QMenu(QStringLiteral("菜单"), this);
    m_menu->setObjectName(QStringLiteral("MM"));
    m_openAction = m_menu->addAction(QStringLiteral("打开文件夹"));
    m_openAction->setObjectName(QStringLiteral("M1"));
    m_upAction = m_menu->addAction(QStringLiteral("返回上一级"));
    m_upAction->setObjectName(QStringLiteral("M2"));

    connect(m_openAction, &QAction::triggered, this, &FolderListView::openSelectedFolder);
    connect(m_upAction, &QAction::triggered, this, &FolderListView::goUp);
    connect(this, &QWidget::customContextMenuRequested, this, &FolderListView::showContextMenu);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FolderListView::selectedFolderChanged);
    connect(this, &QTreeView::doubleClicked, this, &FolderListView::folderConfirmed);

    fill();
}

QString FolderListView::selectedName() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : m_model->name(selected.first().row());
}

void FolderListView::openSelectedFolder()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    if (const files::Outcome<void> opened = m_navigation.open(name); !opened) {
        Messages::error(opened.failure().text());
        return;
    }
    fill();
    selectRow(0);
}

void FolderListView::goUp()
{
    const QString left = m_navigation.currentLevelName();
    if (const files::Outcome<void> wentUp = m_navigation.up(); !wentUp) {
        Messages::error(wentUp.failure().text());
        return;
    }
    fill();
    if (const int row = m_model->rowOf(left); row >= 0)
        selectRow(row);
}

void FolderListView::selectRow(int row)
{
    if (const QModelIndex index = m_model->index(row); index.isValid()) {
        setCurrentIndex(index);
        scrollTo(index);
    }
}

void FolderListView::keyPressEvent(QKeyEvent *event)
{
    // Only the bare keys (the keypad's Enter included) move; with Ctrl, Alt
    // or Shift they keep their usual meaning.
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QTreeView::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        // The selected folder, not merely the current row; nothing without one.
        openSelectedFolder();
        event->accept();
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Left:
        // At the root the keys do nothing: the message belongs to the menu.
        if (!m_navigation.atRoot())
            goUp();
        event->accept();
        return;
    default:
        QTreeView::keyPressEvent(event);
    }
}

void FolderListView::fill()
{
    m_model->setNames(m_navigation.folders());
    emit levelChanged();
    emit selectedFolderChanged();
}

void FolderListView::showContextMenu(const QPoint &position)
{
    const bool hasRows = m_model->rowCount() > 0;
    if (hasRows && selectedName().isEmpty() && m_menuRule == MenuRule::OnlyWithSelection)
        return;
    m_openAction->setVisible(hasRows);
    m_upAction->setVisible(true);
    // Shown without waiting, so the dialog's own loop serves the menu.
    m_menu->popup(viewport()->mapToGlobal(position));
}

FolderLevelControls makeFolderLevelControls(FolderListView &list, QWidget *parent)
{
    FolderLevelControls controls;
    controls.path = new QLabel(parent);
    controls.path->setObjectName(QStringLiteral("Label1"));
    // Folder names may hold "<" or "&": the path is never read as markup.
    controls.path->setTextFormat(Qt::PlainText);
    controls.path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    controls.path->setWordWrap(true);
    // Not a default button: Enter in the list opens a folder and must not
    // press this one too.
    controls.up = makeButton("Command4", QStringLiteral("返回上一级"), parent);
    controls.up->setToolTip(QStringLiteral("回到上一级文件夹 (Backspace)"));

    const auto follow = [&list, controls] {
        controls.path->setText(list.navigation().currentFolder());
        controls.up->setEnabled(!list.navigation().atRoot());
    };
    follow();
    QObject::connect(&list, &FolderListView::levelChanged, controls.path, follow);
    QObject::connect(controls.up, &QPushButton::clicked, &list, [&list] {
        list.goUp();
        list.setFocus();
    });
    return controls;
}

} // namespace tessaly
