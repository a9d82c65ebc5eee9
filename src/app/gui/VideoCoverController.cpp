#include "app/gui/VideoCoverController.h"

#include "app/WorkspaceSession.h"
#include "app/gui/ProjectChoice.h"
#include "catalogue/CatalogueTexts.h"
#include "catalogue/ProjectList.h"
#include "catalogue/gui/EpisodeListModel.h"
#include "covers/CoverTexts.h"
#include "covers/VideoCovers.h"
#include "platform/Messages.h"
#include "platform/gui/BackgroundRun.h"
#include "site/gui/MessagePanel.h"
#include "site/gui/ProgressRelay.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

namespace tessaly {

VideoCoverController::VideoCoverController(WorkspaceSession &session, ProjectChoice &choice,
                                           BackgroundRun &background, QTreeView *episodes,
                                           MessagePanel *panel, QStringList &shownLines, QWidget *owner)
    : QObject(owner), m_session(session), m_choice(choice), m_background(background), m_episodes(episodes),
      m_panel(panel), m_shownLines(shownLines), m_episodeMenu(new QMenu(owner)),
      m_episodeAction(m_episodeMenu->addAction(QStringLiteral("用此集截取封面")))
{
    setObjectName(QStringLiteral("VideoCoverController"));
    m_episodeMenu->setObjectName(QStringLiteral("MC"));
    m_episodeAction->setObjectName(QStringLiteral("MC1"));
    connect(m_episodeAction, &QAction::triggered, this, &VideoCoverController::grabFromSelectedEpisode);
    m_episodes->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_episodes, &QWidget::customContextMenuRequested, this, &VideoCoverController::showEpisodeMenu);
    connect(&m_background, &BackgroundRun::finished, this, [this] {
        if (!m_jobIsOurs)
            return;
        m_jobIsOurs = false;
        emit finished();
    });
}

VideoCoverController::~VideoCoverController() = default;

bool VideoCoverController::isRunning() const
{
    return m_jobIsOurs && m_background.isRunning();
}

void VideoCoverController::grabForChosenProject()
{
    if (m_background.isRunning())
        return;
    const std::optional<QString> project = m_choice.usableChosenProject();
    if (!project)
        return;
    auto cover = std::make_shared<covers::VideoCover>();
    covers::GrabLimits limits;
    limits.cancelled = m_background.stopFlag();
    start([workspace = m_session.workspace(), project = *project, limits,
           cover] { *cover = covers::grabProjectCover(workspace, project, limits); },
          [this, cover] {
              if (cover->written)
                  m_choice.reloadCoverPreview();
              else
                  Messages::error(cover->message);
          });
}

void VideoCoverController::grabFromSelectedEpisode()
{
    const QModelIndex row = m_episodes->currentIndex();
    if (m_background.isRunning() || !row.isValid())
        return;
    const std::optional<QString> project = m_choice.usableChosenProject();
    if (!project)
        return;
    auto cover = std::make_shared<covers::VideoCover>();
    covers::GrabLimits limits;
    limits.cancelled = m_background.stopFlag();
    start([workspace = m_session.workspace(), project = *project,
           episode = row.data(EpisodeListModel::FileNameRole).toString(), limits,
           cover] { *cover = covers::grabEpisodeCover(workspace, project, episode, limits); },
          [this, cover] {
              if (cover->written)
                  m_choice.reloadCoverPreview();
              else
                  Messages::error(cover->message);
          });
}

void VideoCoverController::grabMissingCovers()
{
    if (m_background.isRunning())
        return;
    if (m_session.projects().size() == 0) {
        Messages::error(catalogue::texts::noContent());
        return;
    }
    MessagePanel *panel = m_panel;
    panel->beginWholeSiteRun();
    m_shownLines.clear();
    // The relay hands the run's lines to the panel through the window's
    // event loop.
    auto relay = std::make_shared<ProgressRelay>(*panel);
    auto outcome = std::make_shared<RunOutcome>();
    start(
        [workspace = m_session.workspace(), names = m_session.projects().names(), relay, outcome,
         stop = m_background.stopFlag()] {
            covers::MissingCoversRun run(workspace, names, *relay);
            run.setCancelFlag(stop);
            *outcome = run.run();
        },
        [this, panel, relay, outcome] {
            relay->deliverAll();
            m_shownLines += relay->shownTexts();
            showClosingBox(*outcome);
            panel->endWholeSiteRun();
            m_choice.reloadCoverPreview();
        });
}

void VideoCoverController::start(std::function<void()> work, std::function<void()> done)
{
    m_jobIsOurs = m_background.start(covers::texts::quitWhileGrabbing(), std::move(work), std::move(done));
}

void VideoCoverController::showEpisodeMenu(const QPoint &position)
{
    QTreeView *episodes = m_episodes;
    const QModelIndex row = episodes->indexAt(position);
    if (!row.isValid())
        return;
    episodes->setCurrentIndex(row);
    m_episodeMenu->popup(episodes->viewport()->mapToGlobal(position));
}

} // namespace tessaly
