#include "app/gui/SettingsController.h"

#include "app/WorkspaceSession.h"
#include "app/gui/ProjectChoice.h"
#include "settings/EditedSettings.h"
#include "settings/gui/SettingsDialog.h"
#include "site/ServerCheck.h"

namespace tessaly {

SettingsController::SettingsController(WorkspaceSession &session, ProjectChoice &choice, ServerProbe &probe,
                                       FileChooser &folders, QWidget *dialogParent)
    : QObject(dialogParent), m_session(session), m_choice(choice), m_probe(probe), m_folders(folders),
      m_dialogParent(dialogParent)
{}

void SettingsController::openSettings()
{
    SettingsDialog dialog(
        m_session.workspace(),
        [this](const EditedSettings &settings) { return m_session.saveSettings(settings).done(); }, m_folders,
        m_dialogParent);
    // Copies, for the worker thread the test runs on.
    dialog.setServerTest(
        [workspace = m_session.workspace(), names = m_session.projects().names(),
         probe = &m_probe](const EditedSettings &settings) {
            const FirstEpisode episode = findFirstEpisode(workspace, names, settings.movieFile);
            return ServerCheck(probe).testResult(settings.webLink, episode);
        },
        [](const QString &result) { return result == ServerCheck::servedText(); });
    if (dialog.exec() == QDialog::Accepted)
        m_choice.refreshDetails();
}

} // namespace tessaly
