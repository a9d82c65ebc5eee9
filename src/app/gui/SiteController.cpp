#include "app/gui/SiteController.h"

#include "app/WorkspaceSession.h"
#include "app/gui/ProjectChoice.h"
#include "platform/gui/BackgroundRun.h"
#include "site/gui/MessagePanel.h"
#include "site/gui/ProgressRelay.h"

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

SiteController::SiteController(WorkspaceSession &session, ProjectChoice &choice, BackgroundRun &background,
                               QWidget *panelArea, QObject *owner)
    : QObject(owner), m_session(session), m_choice(choice), m_background(background),
      m_panel(new MessagePanel(panelArea))
{
    setObjectName(QStringLiteral("SiteController"));
}

void SiteController::generateWholeSite()
{
    BackgroundRun &background = m_background;
    if (background.isRunning())
        return;
    std::optional<SiteRun> run = m_session.prepareGeneration();
    if (!run)
        return;

    m_panel->beginWholeSiteRun();
    m_shownLines.clear();
    auto relay = std::make_shared<ProgressRelay>(*m_panel);
    auto outcome = std::make_shared<RunOutcome>();
    background.start(
        quitWhileGenerating(),
        [run = std::move(*run), relay, outcome, stop = background.stopFlag()] {
            *outcome = run.run(*relay, stop);
        },
        [this, relay, outcome] {
            relay->deliverAll();
            m_shownLines += relay->shownTexts();
            showClosingBox(*outcome);
            m_panel->endWholeSiteRun();
        });
}

void SiteController::updateSelectedProject()
{
    BackgroundRun &background = m_background;
    if (background.isRunning())
        return;
    // The update acts on the selected row, whatever the details pane shows.
    std::optional<SiteRun> run = m_session.prepareUpdate(m_choice.selectedRow());
    if (!run)
        return;

    // The panel is neither shown nor cleared: the log repeats what it shows.
    run->setEarlierLines(m_shownLines);
    auto relay = std::make_shared<ProgressRelay>(*m_panel);
    auto outcome = std::make_shared<RunOutcome>();
    background.start(
        quitWhileUpdating(),
        [run = std::move(*run), relay, outcome, stop = background.stopFlag()] {
            *outcome = run.run(*relay, stop);
        },
        [this, relay, outcome] {
            relay->deliverAll();
            m_shownLines += relay->shownTexts();
            showClosingBox(*outcome);
        });
}

} // namespace tessaly
