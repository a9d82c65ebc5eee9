#include "app/gui/KeyboardAndTips.h"

#include "app/gui/NameToolTips.h"
#include "app/gui/WindowControls.h"
#include "catalogue/gui/DetailsPane.h"
#include "site/gui/MessagePanel.h"

#include <QAction>
#include <QEvent>
#include <QHash>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QTreeView>

namespace tessaly {

namespace {

struct ButtonTip
{
    QPushButton *button;
    const char *text;
};

// What each button of the main window does, in the user's words. A button
// with a key of its own gets the key appended.
QList<ButtonTip> buttonTips(const WindowControls &controls, const MessagePanel &panel)
{
    return {
        {controls.add, "添加项目"},
        {controls.remove, "删除选中的项目及其封面和播放页面"},
        {controls.chooseFolder, "选择本项目的剧集文件夹"},
        {controls.pickCover, "从本地图片文件选取本项目的封面"},
        {controls.searchSite1, "在站点1搜索本项目的封面图片"},
        {controls.searchSite2, "在站点2的内置浏览器中搜索本项目的封面图片"},
        {controls.grabFromVideo, "从本项目的第一个视频中截取一帧作为封面"},
        {controls.convert, "为本项目中浏览器无法播放的剧集制作网页版视频"},
        {controls.openSiteLink, "在浏览器中打开影片站点链接"},
        {controls.update, "更新本集内容"},
        {controls.generate, "生成整站内容"},
        {panel.openLinkButton(), "关闭消息面板并在浏览器中打开影片站点链接"},
        {panel.closeButton(), "关闭消息面板"},
        {panel.stopButton(), "停止转换, 删除正在制作的网页版视频"},
    };
}

// Mirrors a button's enabled state onto the action that stands for it.
class EnabledMirror : public QObject
{
public:
    EnabledMirror(QPushButton *button, QAction *action) : QObject(action), m_action(action)
    {
        action->setEnabled(button->isEnabled());
        button->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            m_action->setEnabled(static_cast<QWidget *>(watched)->isEnabled());
        return false;
    }

private:
    QAction *m_action;
};

// Alt pressed and released alone puts the menu bar into keyboard
// mode with its first menu highlighted, as desktop users expect; Qt's own
// styles on Linux leave that off.
class MenuBarKeys : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void setTabOrder(const WindowControls &controls)
{
    const QList<QWidget *> order = {
        controls.projectView,   controls.add,          controls.remove,
        controls.pickCover,     controls.searchSite1,  controls.searchSite2,
        controls.grabFromVideo, controls.chooseFolder, controls.details->episodeView(),
        controls.openSiteLink,  controls.update,       controls.generate};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

// A key on `owner` for a menu item that is not on the window itself (the
// project list's context menu). It is not the item's own shortcut, nor
// does it follow the item's enabled state: the menu hides (and so
// disables) the moves it does not offer for the row it opened on.
QAction *addMenuItemShortcut(QWidget *owner, QAction *item, const QKeySequence &keys)
{
    auto *action = new QAction(item->text(), owner);
    action->setObjectName(item->objectName() + QStringLiteral("Keys"));
    action->setShortcut(keys);
    owner->addAction(action);
    item->setToolTip(toolTipWithKeys(item->text(), keys));
    return action;
}

} // namespace

QList<CommandShortcut> commandShortcuts(const WindowControls &controls)
{
    return {
        {controls.update, nullptr, QKeySequence(Qt::Key_F5)},
        {controls.generate, nullptr, QKeySequence(Qt::CTRL | Qt::Key_G)},
        {controls.add, nullptr, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {nullptr, controls.settings, QKeySequence(Qt::CTRL | Qt::Key_Comma)},
    };
}

QString toolTipWithKeys(const QString &description, const QKeySequence &keys)
{
    return description + QStringLiteral(" (") + keys.toString(QKeySequence::PortableText) + u')';
}

QAction *addButtonShortcut(QWidget *owner, QPushButton *button, const QKeySequence &keys,
                           Qt::ShortcutContext context)
{
    auto *action = new QAction(button->text(), owner);
    action->setObjectName(button->objectName() + QStringLiteral("Keys"));
    action->setShortcut(keys);
    action->setShortcutContext(context);
    owner->addAction(action);
    QObject::connect(action, &QAction::triggered, button, &QPushButton::click);
    new EnabledMirror(button, action);
    return action;
}

ListMoveKeys attachKeyboardAndTips(QMainWindow &window, const WindowControls &controls,
                                   const MessagePanel &panel)
{
    QHash<const QPushButton *, QKeySequence> buttonKeys;
    for (const CommandShortcut &shortcut : commandShortcuts(controls)) {
        if (shortcut.action) {
            shortcut.action->setShortcut(shortcut.keys);
            shortcut.action->setToolTip(toolTipWithKeys(shortcut.action->text(), shortcut.keys));
        } else {
            addButtonShortcut(&window, shortcut.button, shortcut.keys);
            buttonKeys.insert(shortcut.button, shortcut.keys);
        }
    }
    // The project list's own keys: Delete while it has the focus, and the
    // moves up and down of its menu.
    const QKeySequence deleteKey(Qt::Key_Delete);
    addButtonShortcut(controls.projectView, controls.remove, deleteKey, Qt::WidgetShortcut);
    buttonKeys.insert(controls.remove, deleteKey);
    const ListMoveKeys moveKeys{
        addMenuItemShortcut(&window, controls.moveUp, QKeySequence(Qt::CTRL | Qt::Key_Up)),
        addMenuItemShortcut(&window, controls.moveDown, QKeySequence(Qt::CTRL | Qt::Key_Down)),
        addMenuItemShortcut(controls.projectView, controls.renameProject, QKeySequence(Qt::Key_F2))};
    moveKeys.rename->setShortcutContext(Qt::WidgetShortcut);

    for (const ButtonTip &tip : buttonTips(controls, panel)) {
        const QString text = QString::fromUtf8(tip.text);
        const auto keys = buttonKeys.constFind(tip.button);
        tip.button->setToolTip(keys != buttonKeys.constEnd() ? toolTipWithKeys(text, *keys) : text);
    }

    QMenuBar *menuBar = window.menuBar();
    auto *menuKeys = new MenuBarKeys;
    menuKeys->setParent(menuBar);
    menuBar->setStyle(menuKeys);
    // F10 opens the menu: Qt takes only a real Alt key for keyboard mode.
    auto *f10 = new QAction(&window);
    f10->setObjectName(QStringLiteral("MenuBarKeys"));
    f10->setShortcut(QKeySequence(Qt::Key_F10));
    window.addAction(f10);
    QObject::connect(f10, &QAction::triggered, menuBar, [menuBar] {
        const QList<QAction *> menus = menuBar->actions();
        if (!menus.isEmpty())
            menuBar->setActiveAction(menus.first());
    });

    // The path can still be selected and copied, but Tab passes it by.
    controls.details->folderField()->setFocusPolicy(Qt::ClickFocus);
    setTabOrder(controls);

    showCutOffNamesAsToolTips(controls.projectView);
    showCutOffNamesAsToolTips(controls.details->episodeView());
    return moveKeys;
}

} // namespace tessaly
