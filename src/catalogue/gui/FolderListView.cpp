#include "catalogue/gui/FolderListView.h"

#include <QAction>
#include <QMenu>
#include <QStyle>

namespace tessaly {

FolderListView::FolderListView(FolderNavigation navigation, MenuRule menuRule, QWidget *parent)
    : QTreeWidget(parent), m_navigation(std::move(navigation)), m_menuRule(menuRule)
{
    setObjectName(QStringLiteral("ListView1"));
    setHeaderLabels({QStringLiteral("项目")});
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
    connect(this, &QTreeWidget::itemSelectionChanged, this, &FolderListView::selectedFolderChanged);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &FolderListView::folderConfirmed);

    fill();
}

QString FolderListView::selectedName() const
{
    const QList<QTreeWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text(0);
}

void FolderListView::openSelectedFolder()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    if (m_navigation.open(name))
        fill();
}

void FolderListView::goUp()
{
    if (m_navigation.up())
        fill();
}

void FolderListView::fill()
{
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    clear();
    for (const QString &name : m_navigation.folders()) {
        auto *row = new QTreeWidgetItem(this, {name});
        row->setIcon(0, folderIcon);
    }
    emit selectedFolderChanged();
}

void FolderListView::showContextMenu(const QPoint &position)
{
    const bool hasRows = topLevelItemCount() > 0;
    if (hasRows && selectedName().isEmpty() && m_menuRule == MenuRule::OnlyWithSelection)
        return;
    m_openAction->setVisible(hasRows);
    m_upAction->setVisible(true);
    // Shown without waiting, so the dialog's own loop serves the menu.
    m_menu->popup(viewport()->mapToGlobal(position));
}

} // namespace tessaly
