#include "app/gui/ExampleController.h"

#include "app/WorkspaceSession.h"
#include "files/FileServices.h"
#include "files/Outcome.h"
#include "files/Reasons.h"
#include "platform/Messages.h"
#include "platform/gui/BackgroundRun.h"
#include "site/gui/MessagePanel.h"
#include "site/gui/ProgressRelay.h"
#include "workspace/Workspace.h"

#include <QFileInfo>
#include <QProcess>
#include <QWidget>
#include <cerrno>
#include <memory>

namespace tessaly {

namespace {

struct MakerOutcome
{
    bool made = false;
    QString failure; // what the user is told when nothing was made
};

// Runs the example maker to its end, its output lines going to `sink` as
// they come; a stop asked meanwhile ends it at once (its half-made build
// folder goes the next time).
MakerOutcome runMaker(const QString &maker, const QString &folder, ProgressSink &sink,
                      const std::atomic<bool> *stop)
{
    if (!QFileInfo(maker).isExecutable())
        return {false, Messages::withPath(maker, files::reasonFor(ENOENT))};
    QProcess process;
    process.setProgram(maker);
    process.setArguments({folder});
    process.start();
    if (!process.waitForStarted(-1))
        return {false, Messages::withPath(maker, process.errorString())};
    QByteArray pending;
    const auto passOnLines = [&] {
        pending += process.readAllStandardOutput();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            if (!line.isEmpty())
                sink.add({line, ProgressIcon::Step});
        }
    };
    while (process.state() != QProcess::NotRunning) {
        if (stop && stop->load()) {
            process.kill();
            process.waitForFinished(-1);
            return {};
        }
        process.waitForReadyRead(200);
        passOnLines();
    }
    passOnLines();
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return {true, {}};
    QString said = QString::fromUtf8(process.readAllStandardError()).trimmed();
    if (said.isEmpty())
        said = Messages::withPath(maker, QStringLiteral("示例制作失败!"));
    return {false, said};
}

} // namespace

ExampleController::ExampleController(WorkspaceSession &session, BackgroundRun &background,
                                     MessagePanel *panel, QStringList &shownLines, QString maker,
                                     ProgramRestart restart, QWidget &window)
    : QObject(&window), m_session(session), m_background(background), m_panel(panel),
      m_shownLines(shownLines), m_maker(std::move(maker)), m_restart(std::move(restart)), m_window(window)
{
    setObjectName(QStringLiteral("ExampleController"));
}

void ExampleController::openExample()
{
    if (m_background.isRunning())
        return;
    const files::Outcome<QString> dataFolder = userDataFolder();
    if (!dataFolder) {
        Messages::error(dataFolder.failure().text());
        return;
    }
    const QString folder = files::joinPath(*dataFolder, exampleFolderName());
    const QString workspace = files::joinPath(folder, QStringLiteral("workspace"));
    if (files::folderExists(workspace)) {
        restartOn(workspace);
        return;
    }

    MessagePanel *panel = m_panel;
    panel->beginWholeSiteRun();
    m_shownLines.clear();
    auto relay = std::make_shared<ProgressRelay>(*panel);
    auto outcome = std::make_shared<MakerOutcome>();
    const bool started = m_background.start(
        QStringLiteral("示例正在制作中, 确定要退出吗?"),
        [maker = m_maker, folder, relay, outcome, stop = m_background.stopFlag()] {
            *outcome = runMaker(maker, folder, *relay, stop);
        },
        [this, panel, relay, outcome, workspace] {
            relay->deliverAll();
            m_shownLines += relay->shownTexts();
            panel->endWholeSiteRun();
            if (outcome->made)
                restartOn(workspace);
            else
                Messages::error(outcome->failure);
            emit finished();
        });
    if (!started)
        panel->endWholeSiteRun();
}

void ExampleController::restartOn(const QString &workspace)
{
    // The new process takes the example's lock, not this one's; but
    // nothing of this window may change its workspace once the lock is
    // gone, so the window goes as soon as the new process is on its way.
    m_session.releaseLock();
    if (const std::optional<QString> reason = m_restart(workspace)) {
        Messages::error(files::Failure{workspace, *reason}.text());
        m_session.takeLockAgain();
        return;
    }
    m_window.close();
}

} // namespace tessaly
