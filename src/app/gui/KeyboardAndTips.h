#pragma once

#include <QKeySequence>
#include <QList>

class QAction;
class QMainWindow;
class QPushButton;
class QWidget;

namespace tessaly {

class MessagePanel;
struct WindowControls;

// A command of the main window that has a key of its own: its button, or
// else its menu item.
struct CommandShortcut
{
    QPushButton *button = nullptr;
    QAction *action = nullptr;
    QKeySequence keys;
};

// "生成整站内容" (Ctrl+G) and the others; the project list's own keys
// (Delete, Ctrl+Up, Ctrl+Down) come with the list.
QList<CommandShortcut> commandShortcuts(const WindowControls &controls);

// "生成整站内容 (Ctrl+G)": what a tooltip says of a command with a key.
QString toolTipWithKeys(const QString &description, const QKeySequence &keys);

// An action on `owner` that presses `button` on `keys`, while `owner`'s
// window is active (or, for Qt::WidgetShortcut, while `owner` has the
// focus). It is enabled exactly while the button is, so the key never runs
// a command the window refuses by mouse.
QAction *addButtonShortcut(QWidget *owner, QPushButton *button, const QKeySequence &keys,
                           Qt::ShortcutContext context = Qt::WindowShortcut);

// The keys of the project list's moves up and down (`MB1Keys`, `MB2Keys`).
// They work whether or not the list's menu shows the moves. F2 renames
// (`MB8Keys`) while the list has the focus.
struct ListMoveKeys
{
    QAction *up = nullptr;
    QAction *down = nullptr;
    QAction *rename = nullptr;
};

// Keys, tooltips, the Tab order and the menu bar's keyboard behaviour of
// the main window, the message panel's buttons among them. A key of a
// button presses it; the list's move keys are returned for the caller to
// connect.
ListMoveKeys attachKeyboardAndTips(QMainWindow &window, const WindowControls &controls,
                                   const MessagePanel &panel);

} // namespace tessaly
