#include "app/gui/CommandsDuringRuns.h"

#include "app/gui/MainWindow.h"
#include "platform/gui/BackgroundRun.h"

#include <QAction>
#include <QDropEvent>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

namespace tessaly {

namespace {

// Buttons and menu items that write to the workspace. A button's command key
// follows the button.
constexpr const char *WorkspaceCommands[] = {
    "Command1",  "Command2", "Command3", "Command4", "Command5", "Command6", "Command10", "Command11",
    "Command12", "M1",       "M2",       "M5",       "M6",       "M7",       "M8",        "MB1",
    "MB2",       "MB3",      "MB4",      "MB5",      "MB6",      "MB1Keys",  "MB2Keys",   "MC1",
};

class CommandsDuringRuns : public QObject
{
public:
    CommandsDuringRuns(MainWindow &window, QList<QWidget *> dropTargets)
        : QObject(&window), m_window(window), m_dropTargets(std::move(dropTargets))
    {
        // The window's own controls, found once: dialogs opened later may
        // reuse these names for controls of their own.
        for (const char *name : WorkspaceCommands) {
            const QString objectName = QLatin1String(name);
            if (QPushButton *button = window.findChild<QPushButton *>(objectName))
                m_buttons.append(button);
            if (QAction *action = window.findChild<QAction *>(objectName))
                m_actions.append(action);
        }
        // Installed after the controllers' own filters, so it sees drops first.
        for (QWidget *target : std::as_const(m_dropTargets))
            target->installEventFilter(this);
        connect(&window.backgroundRun(), &BackgroundRun::runningChanged, this,
                [this](bool running) { setCommandsEnabled(!running); });
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (!m_window.backgroundRun().isRunning() ||
            (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
            return false;
        static_cast<QDropEvent *>(event)->ignore();
        return true;
    }

private:
    void setCommandsEnabled(bool enabled)
    {
        for (const QPointer<QPushButton> &button : std::as_const(m_buttons))
            if (button)
                button->setEnabled(enabled);
        for (const QPointer<QAction> &action : std::as_const(m_actions))
            if (action)
                action->setEnabled(enabled);
    }

    MainWindow &m_window;
    QList<QWidget *> m_dropTargets;
    QList<QPointer<QPushButton>> m_buttons;
    QList<QPointer<QAction>> m_actions;
};

} // namespace

void disableWorkspaceCommandsDuringRuns(MainWindow &window)
{
    QList<QWidget *> dropTargets{window.projectView()->viewport()};
    if (auto *cover = window.findChild<QWidget *>(QStringLiteral("Picture1")))
        dropTargets.append(cover);
    new CommandsDuringRuns(window, dropTargets);
}

} // namespace tessaly
