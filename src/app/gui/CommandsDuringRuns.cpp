#include "app/gui/CommandsDuringRuns.h"

#include "app/gui/WindowControls.h"
#include "catalogue/gui/DetailsPane.h"
#include "platform/gui/BackgroundRun.h"

#include <QAction>
#include <QDropEvent>
#include <QPointer>
#include <QPushButton>
#include <QTreeView>

namespace tessaly {

namespace {

class CommandsDuringRuns : public QObject
{
public:
    CommandsDuringRuns(BackgroundRun &background, const QList<QPushButton *> &buttons,
                       const QList<QAction *> &actions, const QList<QWidget *> &dropTargets, QObject *owner)
        : QObject(owner), m_background(background)
    {
        for (QPushButton *button : buttons)
            m_buttons.append(button);
        for (QAction *action : actions)
            m_actions.append(action);
        // Installed after the controllers' own filters, so it sees drops first.
        for (QWidget *target : dropTargets)
            target->installEventFilter(this);
        connect(&background, &BackgroundRun::runningChanged, this,
                [this](bool running) { setCommandsEnabled(!running); });
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (!m_background.isRunning() ||
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

    BackgroundRun &m_background;
    QList<QPointer<QPushButton>> m_buttons;
    QList<QPointer<QAction>> m_actions;
};

} // namespace

void disableWorkspaceCommandsDuringRuns(BackgroundRun &background, const WindowControls &controls,
                                        const QList<QAction *> &moreCommands, QObject *owner)
{
    // A button's command key follows the button.
    const QList<QPushButton *> buttons = {
        controls.add,           controls.remove,  controls.chooseFolder, controls.generate,
        controls.pickCover,     controls.update,  controls.searchSite1,  controls.searchSite2,
        controls.grabFromVideo, controls.convert,
    };
    const QList<QAction *> actions =
        QList<QAction *>{
            controls.settings,      controls.editPageSource,    controls.clearCache, controls.clearLogs,
            controls.editStyle,     controls.grabMissingCovers, controls.moveUp,     controls.moveDown,
            controls.moveToFirst,   controls.moveToLast,        controls.newProject, controls.deleteProject,
            controls.renameProject, controls.convertAll,
        } +
        moreCommands;
    const QList<QWidget *> dropTargets = {controls.projectView->viewport(), controls.details->coverPreview()};
    new CommandsDuringRuns(background, buttons, actions, dropTargets, owner);
}

} // namespace tessaly
