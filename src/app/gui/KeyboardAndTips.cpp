#include "app/gui/KeyboardAndTips.h"

#include "app/gui/MainWindow.h"
#include "app/gui/NameToolTips.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QTreeWidget>

namespace tessaly {

namespace {

struct ButtonTip
{
    const char *objectName;
    const char *text;
};

// What each button of the main window does, in the user's words. A button
// with a key of its own gets the key appended.
constexpr ButtonTip ButtonTips[] = {
    {"Command1", "添加项目"},
    {"Command2", "删除选中的项目及其封面和播放页面"},
    {"Command3", "选择本项目的剧集文件夹"},
    {"Command5", "从本地图片文件选取本项目的封面"},
    {"Command10", "在站点1搜索本项目的封面图片"},
    {"Command11", "在站点2的内置浏览器中搜索本项目的封面图片"},
    {"Command12", "从本项目的第一个视频中截取一帧作为封面"},
    {"Command8", "在浏览器中打开影片站点链接"},
    {"Command6", "更新本集内容"},
    {"Command4", "生成整站内容"},
    {"Command9", "关闭消息面板并在浏览器中打开影片站点链接"},
    {"Command7", "关闭消息面板"},
};

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

void setTabOrder(MainWindow &window)
{
    const char *order[] = {"ListView1", "Command1", "Command2",  "Command5", "Command10", "Command11",
                           "Command12", "Command3", "ListView2", "Command8", "Command6",  "Command4"};
    QWidget *previous = nullptr;
    for (const char *name : order) {
        auto *widget = window.findChild<QWidget *>(QLatin1String(name));
        if (!widget)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace

const QList<CommandShortcut> &commandShortcuts()
{
    static const QList<CommandShortcut> shortcuts = {
        {"Command6", QKeySequence(Qt::Key_F5)},
        {"Command4", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {"Command1", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"M1", QKeySequence(Qt::CTRL | Qt::Key_Comma)},
    };
    return shortcuts;
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

void attachKeyboardAndTips(MainWindow &window)
{
    for (const CommandShortcut &shortcut : commandShortcuts()) {
        if (QAction *action = window.action(shortcut.objectName)) {
            action->setShortcut(shortcut.keys);
            action->setToolTip(toolTipWithKeys(action->text(), shortcut.keys));
        } else if (QPushButton *button = window.button(shortcut.objectName)) {
            addButtonShortcut(&window, button, shortcut.keys);
        }
    }
    // After the keys, the list's Delete among them, so each tip names its key.
    for (const ButtonTip &tip : ButtonTips) {
        auto *button = window.findChild<QPushButton *>(QLatin1String(tip.objectName));
        if (!button)
            continue;
        const QString text = QString::fromUtf8(tip.text);
        const auto *keys = window.findChild<QAction *>(button->objectName() + QStringLiteral("Keys"));
        button->setToolTip(keys ? toolTipWithKeys(text, keys->shortcut()) : text);
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
    if (auto *folderField = window.findChild<QLineEdit *>(QStringLiteral("Text1")))
        folderField->setFocusPolicy(Qt::ClickFocus);
    setTabOrder(window);

    showCutOffNamesAsToolTips(window.projectView());
    if (auto *episodes = window.findChild<QTreeWidget *>(QStringLiteral("ListView2")))
        showCutOffNamesAsToolTips(episodes);
}

} // namespace tessaly
