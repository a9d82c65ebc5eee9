#include "app/gui/SettingsController.h"

#include "app/gui/MainWindow.h"
#include "settings/gui/SettingsDialog.h"

#include <QAction>

namespace tessaly {

SettingsController::SettingsController(MainWindow &window) : QObject(&window), m_window(window)
{
    if (QAction *settings = window.action("M1"))
        connect(settings, &QAction::triggered, this, &SettingsController::openSettings);
}

void SettingsController::openSettings()
{
    SettingsDialog dialog(m_window.workspace(), &m_window);
    dialog.exec();
}

} // namespace tessaly
