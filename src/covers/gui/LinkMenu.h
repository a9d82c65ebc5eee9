#pragma once

#include <QObject>

class QAction;
class QMenu;
class QTreeView;

namespace tessaly {
class Clipboard;
}

namespace tessaly::covers {

class CandidatePicker;

// The result list's context menu `MM` with "复制图片链接" (`M1`), shared by
// both search dialogs. A right click selects the row under the mouse,
// without previewing it, and opens the menu for it.
class LinkMenu : public QObject
{
    Q_OBJECT

public:
    LinkMenu(QTreeView &list, CandidatePicker &picker, Clipboard &clipboard, QWidget *parent);

    QMenu *menu() const { return m_menu; }
    // Puts the selected row's link on the clipboard and says so with the
    // row's title and link.
    void copyLink();

private:
    void showAt(const QPoint &position);

    QTreeView &m_list;
    CandidatePicker &m_picker;
    Clipboard &m_clipboard;
    QMenu *m_menu = nullptr;
};

} // namespace tessaly::covers
