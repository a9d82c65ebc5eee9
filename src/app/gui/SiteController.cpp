#include "app/gui/SiteController.h"

#include "app/gui/MainWindow.h"
#include "site/SiteGeneration.h"
#include "site/gui/MessagePanel.h"

#include <QPushButton>

namespace tessaly {

SiteController::SiteController(MainWindow &window)
    : QObject(&window), m_window(window),
      m_panel(new MessagePanel(window.centralWidget() ? window.centralWidget() : &window))
{
    setObjectName(QStringLiteral("SiteController"));
    if (QPushButton *generate = window.button("Command4"))
        connect(generate, &QPushButton::clicked, this, &SiteController::generateWholeSite);
    if (QPushButton *update = window.button("Command6"))
        connect(update, &QPushButton::clicked, this, &SiteController::updateSelectedProject);
    m_panel->setOpenSiteLink([&window] { window.openSiteLink(); });
}

void SiteController::generateWholeSite()
{
    m_window.runStyleLoad();
    SiteGeneration(m_window.workspace(), m_window.projects(), m_window.templates(), *m_panel).run();
}

void SiteController::updateSelectedProject()
{
    // The update acts on the selected row, whatever the details pane shows.
    m_window.runStyleLoad();
    ProjectUpdate(m_window.workspace(), m_window.projects(), m_window.templates(), *m_panel)
        .run(m_window.selectedRow());
}

} // namespace tessaly
