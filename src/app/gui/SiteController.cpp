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
    std::optional<SiteRun> run = m_window.session().prepareGeneration(*m_panel);
    if (!run)
        return;

    m_panel->beginWholeSiteRun();
    auto relay = std::make_shared<ProgressRelay>(*m_panel);
    auto outcome = std::make_shared<RunOutcome>();
    background.start(
        quitWhileGenerating(),
        [run = std::move(*run), relay, outcome, stop = background.stopFlag()] {
            *outcome = run.run(*relay, stop);
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
    std::optional<SiteRun> run = m_window.session().prepareUpdate(m_window.selectedRow(), *m_panel);
    if (!run)
        return;

    // The panel is neither shown nor cleared: the log repeats what it holds.
    auto relay = std::make_shared<ProgressRelay>(*m_panel, m_panel->texts());
    auto outcome = std::make_shared<RunOutcome>();
    background.start(
        quitWhileUpdating(),
        [run = std::move(*run), relay, outcome, stop = background.stopFlag()] {
            *outcome = run.run(*relay, stop);
        },
        [relay, outcome] {
            relay->deliverAll();
            RunClosing::showBox(*outcome);
        });
}

} // namespace tessaly
