#include "covers/gui/LinkMenu.h"

#include "covers/CoverTexts.h"
#include "covers/gui/CandidatePicker.h"
#include "platform/Clipboard.h"
#include "platform/Messages.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

namespace tessaly::covers {

LinkMenu::LinkMenu(QTreeView &list, CandidatePicker &picker, Clipboard &clipboard, QWidget *parent)
    : QObject(parent), m_list(list), m_picker(picker), m_clipboard(clipboard)
{
    m_list.setContextMenuPolicy(Qt::CustomContextMenu);
    m_menu = new QMenu(QStringLiteral("菜单"), parent);
    m_menu->setObjectName(QStringLiteral("MM"));
    QAction *copy = m_menu->addAction(QStringLiteral("复制图片链接"));
    copy->setObjectName(QStringLiteral("M1"));
    connect(copy, &QAction::triggered, this, &LinkMenu::copyLink);
    connect(&m_list, &QWidget::customContextMenuRequested, this, &LinkMenu::showAt);
}

void LinkMenu::showAt(const QPoint &position)
{
    m_picker.selectWithoutPreview(m_list.indexAt(position).row());
    if (m_picker.rowCount() > 0 && m_picker.selectedRow() >= 0)
        m_menu->popup(m_list.viewport()->mapToGlobal(position));
}

void LinkMenu::copyLink()
{
    const int row = m_picker.selectedRow();
    if (m_picker.rowCount() == 0 || row < 0)
        return;
    const CoverCandidate &candidate = m_picker.candidate(row);
    m_clipboard.setText(candidate.link);
    Messages::information(texts::linkCopied() + QStringLiteral("\r\n") + candidate.title +
                          QStringLiteral("\r\n") + candidate.link);
}

} // namespace tessaly::covers
