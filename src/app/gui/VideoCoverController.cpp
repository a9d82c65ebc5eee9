#include "app/gui/VideoCoverController.h"

#include "app/gui/MainWindow.h"
#include "app/gui/SiteController.h"
#include "catalogue/ProjectList.h"
#include "catalogue/gui/DetailsPane.h"
#include "covers/CoverTexts.h"
#include "covers/VideoCovers.h"
#include "platform/Messages.h"
#include "site/gui/MessagePanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QPushButton>
#include <QThread>
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
    window.installEventFilter(this);
}

VideoCoverController::~VideoCoverController()
{
    if (m_worker) {
        m_cancelled = true;
        m_worker->wait();
    }
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
    if (isRunning() || !projectForCover(project))
        return;
    auto cover = std::make_shared<VideoCover>();
    GrabLimits limits;
    limits.cancelled = &m_cancelled;
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
    if (isRunning() || !row || !projectForCover(project))
        return;
    auto cover = std::make_shared<VideoCover>();
    GrabLimits limits;
    limits.cancelled = &m_cancelled;
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
    if (isRunning())
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
    // The worker keeps its own copy of the lines for the run log and hands
    // each one to the panel through the window's event loop.
    auto outcome = std::make_shared<CoverRunOutcome>();
    auto echo = [this, panel](const ProgressLine &line) {
        QMetaObject::invokeMethod(
            this,
            [panel, line] {
                panel->add(line);
                panel->showLastLine();
            },
            Qt::QueuedConnection);
    };
    start(
        [workspace = m_window.workspace(), names = m_window.projects().names(), echo, outcome, this] {
            ProgressLines lines(echo);
            MissingCoversRun run(workspace, names, lines);
            run.setCancelFlag(&m_cancelled);
            *outcome = run.run();
        },
        [this, panel, outcome] {
            panel->showLastLine();
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
    m_cancelled = false;
    m_done = std::move(done);
    m_worker.reset(QThread::create(std::move(work)));
    connect(m_worker.get(), &QThread::finished, this, &VideoCoverController::whenDone, Qt::QueuedConnection);
    setCommandsEnabled(false);
    m_worker->start();
}

void VideoCoverController::whenDone()
{
    if (!m_worker)
        return;
    m_worker->wait();
    m_worker.reset();
    setCommandsEnabled(true);
    // A job stopped because the window is closing shows nothing more.
    if (!m_cancelled && m_done)
        m_done();
    m_done = nullptr;
    emit finished();
}

void VideoCoverController::setCommandsEnabled(bool enabled)
{
    if (QPushButton *button = m_window.button("Command12"))
        button->setEnabled(enabled);
    if (QAction *action = m_window.action("M8"))
        action->setEnabled(enabled);
    m_episodeAction->setEnabled(enabled);
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

bool VideoCoverController::mayClose()
{
    if (!isRunning())
        return true;
    if (Messages::question(texts::quitWhileGrabbing()) != MessageAnswer::Yes)
        return false;
    m_cancelled = true;
    m_worker->wait();
    return true;
}

bool VideoCoverController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Close && !mayClose()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tessaly::covers
