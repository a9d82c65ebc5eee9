#include "app/gui/WindowStateKeeper.h"

#include "app/UserState.h"
#include "app/gui/MainWindow.h"

#include <QEvent>

namespace tessaly {

WindowStateKeeper::WindowStateKeeper(MainWindow &window) : QObject(&window), m_window(window)
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
    const QString project = state.lastProject(m_window.workspace().root());
    const int row = project.isEmpty() ? -1 : m_window.projects().indexOf(project);
    if (row >= 0)
        m_window.selectRow(row);
}

void WindowStateKeeper::save()
{
    UserState state;
    state.setWindowGeometry(m_window.saveGeometry());
    state.setLastProject(m_window.workspace().root(), m_window.selectedProject());
}

bool WindowStateKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Close)
        save();
    return false;
}

} // namespace tessaly
