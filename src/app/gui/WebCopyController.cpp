#include "app/gui/WebCopyController.h"

#include "app/WorkspaceSession.h"
#include "app/gui/ProjectChoice.h"
#include "platform/Messages.h"
#include "platform/gui/BackgroundRun.h"
#include "site/WebCopyConversion.h"
#include "site/WebCopyTexts.h"
#include "site/gui/MessagePanel.h"
#include "site/gui/ProgressRelay.h"

#include <QAbstractItemView>

namespace tessaly {

namespace texts = webcopy::texts;

WebCopyController::WebCopyController(WorkspaceSession &session, ProjectChoice &choice,
                                     BackgroundRun &background, QAbstractItemView *episodes,
                                     MessagePanel *panel, QStringList &shownLines, QObject *owner)
    : QObject(owner), m_session(session), m_choice(choice), m_background(background), m_episodes(episodes),
      m_panel(panel), m_shownLines(shownLines)
{
    setObjectName(QStringLiteral("WebCopyController"));
}

void WebCopyController::convertSelectedEpisode()
{
    const QModelIndex row = m_episodes->currentIndex();
    if (m_background.isRunning() || !row.isValid() || !m_choice.guardChosenProject())
        return;
    if (const std::optional<QString> project = m_choice.chosenProject())
        begin(*project, row.data().toString());
}

void WebCopyController::convertChosenProject()
{
    if (m_background.isRunning() || !m_choice.guardChosenProject())
        return;
    if (const std::optional<QString> project = m_choice.chosenProject())
        begin(*project, {});
}

void WebCopyController::convertAll()
{
    if (!m_background.isRunning())
        begin({}, {});
}

void WebCopyController::begin(const QString &project, const QString &episode)
{
    std::optional<WebCopyConversion> prepared = m_session.prepareConversion(project, episode);
    if (!prepared) {
        emit finished();
        return;
    }
    auto conversion = std::make_shared<WebCopyConversion>(std::move(*prepared));
    m_panel->beginWholeSiteRun();
    m_panel->offerStop([this] { m_background.stop(); });
    m_panel->add({texts::checking(), ProgressIcon::Opening});
    m_shownLines = QStringList{texts::checking()};
    auto relay = std::make_shared<ProgressRelay>(*m_panel);
    m_background.start(
        texts::quitWhileConverting(),
        [conversion, stop = m_background.stopFlag()] { conversion->plan(stop); },
        [this, conversion, relay] { afterLooking(conversion, relay); });
}

void WebCopyController::afterLooking(const std::shared_ptr<WebCopyConversion> &conversion,
                                     const std::shared_ptr<ProgressRelay> &relay)
{
    // Stopped while looking: the run ends at once and says so.
    if (m_background.stopAsked()) {
        const std::atomic<bool> stopped{true};
        const RunOutcome outcome = conversion->run(*relay, &stopped);
        relay->deliverAll();
        m_shownLines += relay->shownTexts();
        showClosingBox(outcome);
        end();
        return;
    }
    const WebCopyConversion::Readiness readiness = conversion->mayStart();
    if (readiness.box)
        Messages::show(*readiness.box);
    if (readiness.start != WebCopyConversion::Start::Go ||
        (conversion->summary().copies() > 1 &&
         Messages::question(conversion->question()) != MessageAnswer::Yes)) {
        end();
        return;
    }
    auto outcome = std::make_shared<RunOutcome>();
    m_background.start(
        texts::quitWhileConverting(),
        [conversion, relay, outcome, stop = m_background.stopFlag()] {
            *outcome = conversion->run(*relay, stop);
        },
        [this, relay, outcome] {
            relay->deliverAll();
            m_shownLines += relay->shownTexts();
            showClosingBox(*outcome);
            end();
        });
}

void WebCopyController::end()
{
    m_panel->endWholeSiteRun();
    emit finished();
}

} // namespace tessaly
