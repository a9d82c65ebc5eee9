#include "app/gui/SettingsController.h"

#include "app/WorkspaceSession.h"
#include "settings/gui/SettingsDialog.h"

namespace tessaly {

SettingsController::SettingsController(WorkspaceSession &session, QWidget *dialogParent)
    : QObject(dialogParent), m_session(session), m_dialogParent(dialogParent)
{}

void SettingsController::openSettings()
{
    SettingsDialog dialog(
        m_session.workspace(),
        [this](const EditedSettings &settings) { return m_session.saveSettings(settings).done(); },
        m_dialogParent);
    dialog.exec();
}

} // namespace tessaly
