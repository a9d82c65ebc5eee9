#include "app/gui/VideoCoverController.h"

#include "app/gui/MainWindow.h"
#include "app/gui/SiteController.h"
#include "catalogue/ProjectList.h"
#include "catalogue/gui/DetailsPane.h"
#include "covers/CoverTexts.h"
#include "covers/VideoCovers.h"
#include "platform/Messages.h"
#include "platform/gui/BackgroundRun.h"
#include "site/gui/MessagePanel.h"
#include "site/gui/ProgressRelay.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace tessaly::covers {

VideoCoverController::VideoCoverController(MainWindow &window)
    : QObject(&window), m_window(window), m_episodeMenu(new QMenu(&window)),
      m_episodeAction(m_episodeMenu->addAction(QStringLiteral("用此集截取封面")))
{
    setObjectName(QStringLiteral("VideoCoverController"));
    m_episodeMenu->setObjectName(QStringLiteral("MC"));
    m_episodeAction->setObjectName(QStringLiteral("MC1"));
    connect(m_episodeAction, &QAction::triggered, this, &VideoCoverController::grabFromSelectedEpisode);
    if (QPushButton *button = window.button("Command12"))
        connect(button, &QPushButton::clicked, this, &VideoCoverController::grabForChosenProject);
    if (QAction *action = window.action("M8"))
        connect(action, &QAction::triggered, this, &VideoCoverController::grabMissingCovers);
    if (QTreeWidget *episodes = window.detailsPane()->episodeView()) {
        episodes->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(episodes, &QWidget::customContextMenuRequested, this, &VideoCoverController::showEpisodeMenu);
    }
    connect(&window.backgroundRun(), &BackgroundRun::finished, this, [this] {
        if (!m_jobIsOurs)
            return;
        m_jobIsOurs = false;
        emit finished();
    });
}

VideoCoverController::~VideoCoverController() = default;

bool VideoCoverController::isRunning() const
{
    return m_jobIsOurs && m_window.backgroundRun().isRunning();
}

bool VideoCoverController::projectForCover(QString &project)
{
    if (!m_window.guardChosenProject())
        return false;
    const std::optional<QString> chosen = m_window.chosenProject();
    if (!chosen)
        return false;
    if (!isUsableProjectName(*chosen)) {
        Messages::error(texts::unusableProjectName() + *chosen);
        return false;
    }
    project = *chosen;
    return true;
}

void VideoCoverController::grabForChosenProject()
{
    QString project;
    if (m_window.backgroundRun().isRunning() || !projectForCover(project))
        return;
    auto cover = std::make_shared<VideoCover>();
    GrabLimits limits;
    limits.cancelled = m_window.backgroundRun().stopFlag();
    start([workspace = m_window.workspace(), project, limits,
           cover] { *cover = grabProjectCover(workspace, project, limits); },
          [this, cover] {
              if (cover->written)
                  m_window.reloadCoverPreview();
              else
                  Messages::error(cover->message);
          });
}

void VideoCoverController::grabFromSelectedEpisode()
{
    const QTreeWidgetItem *row = m_window.detailsPane()->episodeView()->currentItem();
    QString project;
    if (m_window.backgroundRun().isRunning() || !row || !projectForCover(project))
        return;
    auto cover = std::make_shared<VideoCover>();
    GrabLimits limits;
    limits.cancelled = m_window.backgroundRun().stopFlag();
    start([workspace = m_window.workspace(), project, episode = row->text(0), limits,
           cover] { *cover = grabEpisodeCover(workspace, project, episode, limits); },
          [this, cover] {
              if (cover->written)
                  m_window.reloadCoverPreview();
              else
                  Messages::error(cover->message);
          });
}

void VideoCoverController::grabMissingCovers()
{
    if (m_window.backgroundRun().isRunning())
        return;
    if (m_window.projects().size() == 0) {
        Messages::error(QStringLiteral("没有内容!"));
        return;
    }
    const SiteController *site = m_window.findChild<SiteController *>();
    MessagePanel *panel = site ? site->panel() : nullptr;
    if (!panel)
        return;
    panel->beginWholeSiteRun();
    // The relay keeps the run's own lines for the run log and hands them to
    // the panel through the window's event loop.
    auto relay = std::make_shared<ProgressRelay>(*panel);
    auto outcome = std::make_shared<CoverRunOutcome>();
    start(
        [workspace = m_window.workspace(), names = m_window.projects().names(), relay, outcome,
         stop = m_window.backgroundRun().stopFlag()] {
            MissingCoversRun run(workspace, names, *relay);
            run.setCancelFlag(stop);
            *outcome = run.run();
        },
        [this, panel, relay, outcome] {
            relay->deliverAll();
            if (outcome->run.succeeded())
                Messages::information(outcome->boxText);
            else
                Messages::error(outcome->boxText);
            panel->endWholeSiteRun();
            m_window.reloadCoverPreview();
        });
}

void VideoCoverController::start(std::function<void()> work, std::function<void()> done)
{
    m_jobIsOurs =
        m_window.backgroundRun().start(texts::quitWhileGrabbing(), std::move(work), std::move(done));
}

void VideoCoverController::showEpisodeMenu(const QPoint &position)
{
    QTreeWidget *episodes = m_window.detailsPane()->episodeView();
    QTreeWidgetItem *row = episodes->itemAt(position);
    if (!row)
        return;
    episodes->setCurrentItem(row);
    m_episodeMenu->popup(episodes->viewport()->mapToGlobal(position));
}

} // namespace tessaly::covers
