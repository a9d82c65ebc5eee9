#include "app/gui/WindowStateKeeper.h"

#include "app/UserState.h"
#include "app/WorkspaceSession.h"
#include "app/gui/ProjectChoice.h"

#include <QEvent>
#include <QWidget>

namespace tessaly {

WindowStateKeeper::WindowStateKeeper(QWidget &window, const WorkspaceSession &session, ProjectChoice &choice)
    : QObject(&window), m_window(window), m_session(session), m_choice(choice)
{
    setObjectName(QStringLiteral("WindowStateKeeper"));
    window.installEventFilter(this);
}

void WindowStateKeeper::restore()
{
    const UserState state;
    const QByteArray geometry = state.windowGeometry();
    // Qt keeps the window on a screen that still exists.
    if (!geometry.isEmpty())
        m_window.restoreGeometry(geometry);
    const QString project = state.lastProject(m_session.workspace().root());
    const int row = project.isEmpty() ? -1 : m_session.rowOf(project);
    if (row >= 0)
        m_choice.selectRow(row);
}

void WindowStateKeeper::save()
{
    UserState state;
    state.setWindowGeometry(m_window.saveGeometry());
    state.setLastProject(m_session.workspace().root(), m_choice.chosenProject().value_or(QString()));
}

bool WindowStateKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Close)
        save();
    return false;
}

} // namespace tessaly
