#include "app/gui/SiteController.h"

#include "app/gui/MainWindow.h"
#include "platform/gui/BackgroundRun.h"
#include "site/SiteGeneration.h"
#include "site/gui/MessagePanel.h"
#include "site/gui/ProgressRelay.h"

#include <QPushButton>

namespace tessaly {

namespace {

QString quitWhileGenerating()
{
    return QStringLiteral("正在生成网站,确定要退出吗?");
}

QString quitWhileUpdating()
{
    return QStringLiteral("正在更新本集内容,确定要退出吗?");
}

} // namespace

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
    BackgroundRun &background = m_window.backgroundRun();
    if (background.isRunning())
        return;
    m_window.runStyleLoad();
    const std::optional<RunInputs> inputs =
        SiteGeneration(m_window.workspace(), m_window.projects(), m_window.templates(), *m_panel).prepare();
    if (!inputs)
        return;

    m_panel->beginWholeSiteRun();
    auto relay = std::make_shared<ProgressRelay>(*m_panel);
    auto outcome = std::make_shared<RunOutcome>();
    background.start(
        quitWhileGenerating(),
        [workspace = m_window.workspace(), projects = m_window.projects(), templates = m_window.templates(),
         inputs = *inputs, relay, outcome, stop = background.stopFlag()] {
            SiteGeneration generation(workspace, projects, templates, *relay);
            generation.setStopFlag(stop);
            *outcome = generation.generate(inputs);
        },
        [this, relay, outcome] {
            relay->deliverAll();
            RunClosing::showBox(*outcome);
            m_panel->endWholeSiteRun();
        });
}

void SiteController::updateSelectedProject()
{
    BackgroundRun &background = m_window.backgroundRun();
    if (background.isRunning())
        return;
    // The update acts on the selected row, whatever the details pane shows.
    m_window.runStyleLoad();
    const int row = m_window.selectedRow();
    const std::optional<RunInputs> inputs =
        ProjectUpdate(m_window.workspace(), m_window.projects(), m_window.templates(), *m_panel).prepare(row);
    if (!inputs)
        return;

    // The panel is neither shown nor cleared: the log repeats what it holds.
    auto relay = std::make_shared<ProgressRelay>(*m_panel, m_panel->texts());
    auto outcome = std::make_shared<RunOutcome>();
    background.start(
        quitWhileUpdating(),
        [workspace = m_window.workspace(), projects = m_window.projects(), templates = m_window.templates(),
         inputs = *inputs, row, relay, outcome, stop = background.stopFlag()] {
            ProjectUpdate update(workspace, projects, templates, *relay);
            update.setStopFlag(stop);
            *outcome = update.generate(inputs, row);
        },
        [relay, outcome] {
            relay->deliverAll();
            RunClosing::showBox(*outcome);
        });
}

} // namespace tessaly
