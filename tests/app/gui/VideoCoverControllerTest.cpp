#include "app/gui/VideoCoverController.h"

#include "app/gui/MainWindow.h"
#include "app/gui/SiteController.h"
#include "catalogue/gui/DetailsPane.h"
#include "covers/CoverTexts.h"
#include "files/TextFile.h"
#include "platform/gui/BackgroundRun.h"
#include "site/gui/MessagePanel.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/TestVideos.h"
#include "support/Waiting.h"
#include "support/WidgetDriving.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>

using namespace tessaly;
using namespace tessaly::covers;
using namespace tessaly::testing;

namespace {

class VideoCoverCommands : public WindowFixture
{
protected:
    VideoCoverCommands()
    {
        writeQuietStyle();
        EXPECT_TRUE(TestVideo().write(workspace.path("film.mp4")));
    }

    void addProject(const QString &name, const QStringList &videos, const QStringList &others = {})
    {
        const QString folder = workspace.makeFolder("m/" + name);
        workspace.writeText("Setting/" + name + ".ini", "[Setting]\r\nFile=" + folder);
        for (const QString &video : videos)
            QFile::copy(workspace.path("film.mp4"), folder + '/' + video);
        for (const QString &other : others)
            workspace.writeBytes("m/" + name + '/' + other, "not a video");
    }

    void open(const QStringList &projects)
    {
        workspace.writeList(projects);
        openWindow(Showing::Shown);
        window->selectRow(0);
        controller = window->findChild<VideoCoverController *>();
        ASSERT_NE(controller, nullptr);
        messages.clear();
    }

    // Starts a job and waits for its end, checking that the commands were
    // disabled meanwhile.
    void runToEnd(const std::function<void()> &start)
    {
        QSignalSpy finished(controller, &VideoCoverController::finished);
        start();
        EXPECT_TRUE(controller->isRunning());
        EXPECT_FALSE(buttonNamed(*window, "Command12")->isEnabled());
        EXPECT_FALSE(actionNamed(*window, "M8")->isEnabled());
        ASSERT_TRUE(waitUntil([&] { return finished.size() == 1; }, 30000));
        EXPECT_TRUE(buttonNamed(*window, "Command12")->isEnabled());
        EXPECT_TRUE(actionNamed(*window, "M8")->isEnabled());
    }

    QByteArray cover(const QString &project) const
    {
        return workspace.readBytes("Web/Image/" + project + ".jpg");
    }

    TempWorkspace &workspace = files;
    VideoCoverController *controller = nullptr;
};

} // namespace

TEST_F(VideoCoverCommands, GrabbingRunsOffTheWindowThreadAndShowsTheNewCover)
{
    addProject("甲", {"b.mp4"}, {"a.avi"});
    open({"甲"});
    runToEnd([&] { buttonNamed(*window, "Command12")->click(); });
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_TRUE(cover("甲").startsWith("\xFF\xD8"));
    EXPECT_FALSE(window->detailsPane()->coverPreview()->showsDefaultCover());

    // The episode list's own command takes the chosen episode alone.
    workspace.writeBytes("Web/Image/甲.jpg", "old cover");
    QTreeView *episodes = window->detailsPane()->episodeView();
    episodes->setCurrentIndex(episodes->model()->index(0, 0));
    runToEnd([&] { controller->episodeMenu()->actions().first()->trigger(); });
    EXPECT_EQ(messages.texts(),
              QStringList{Messages::withPath(workspace.path("m/甲/a.avi"), texts::notAVideo())});
    EXPECT_EQ(cover("甲"), "old cover");
}

TEST_F(VideoCoverCommands, TheMenuRunReportsInTheMessagePanel)
{
    addProject("甲", {"a.mp4"});
    addProject("乙", {"a.mp4"});
    addProject("丙", {});
    workspace.writeBytes("Web/Image/乙.jpg", "own cover");
    open({"甲", "乙", "丙"});
    runToEnd([&] { actionNamed(*window, "M8")->trigger(); });

    MessagePanel *panel = window->findChild<SiteController *>()->panel();
    ASSERT_TRUE(panel->isVisible());
    const QString closing = texts::coversGrabbedWithErrors(1);
    EXPECT_EQ(rowTexts(*panel->lineView()),
              (QStringList{texts::grabbingCover("甲"), texts::grabbingCover("丙"),
                           texts::cannotGrabCover(workspace.path("m/丙"), texts::noEpisodes()), closing}));
    EXPECT_EQ(messages.texts(), QStringList{closing});
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    const auto *bar = panel->findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
    EXPECT_EQ(bar->maximum(), 3); // the projects of the run, done
    EXPECT_EQ(bar->value(), 3);
    EXPECT_TRUE(cover("甲").startsWith("\xFF\xD8"));
    EXPECT_EQ(cover("乙"), "own cover");
}

TEST_F(VideoCoverCommands, ClosingTheWindowDuringAGrabAsksAndThenStopsIt)
{
    addProject("甲", {}, {"a.txt"});
    open({"甲"});
    // The job counts as running until the window's loop has seen its end.
    QSignalSpy ended(controller, &VideoCoverController::finished);
    buttonNamed(*window, "Command12")->click();
    messages.setNextAnswer(MessageAnswer::No);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(controller->isRunning());
    messages.setNextAnswer(MessageAnswer::Yes);
    EXPECT_TRUE(window->close());
    ASSERT_TRUE(waitUntil([&] { return ended.size() == 1; }, 30000));
    // A stopped job shows nothing more.
    EXPECT_EQ(messages.texts(), (QStringList{texts::quitWhileGrabbing(), texts::quitWhileGrabbing()}));
}

// The panel shows the batch's lines, so an update run next repeats them in
// its log, as it repeats a whole-site run's.
TEST_F(VideoCoverCommands, AnUpdateAfterTheBatchLogsTheLinesThePanelShows)
{
    addProject("甲", {"a.mp4"});
    open({"甲"});
    runToEnd([&] { actionNamed(*window, "M8")->trigger(); });
    const QDir logs(workspace.path("Log"));
    for (const QString &log : logs.entryList(QDir::Files))
        QFile::remove(logs.filePath(log));
    MessagePanel *panel = window->findChild<SiteController *>()->panel();
    const QStringList batch = rowTexts(*panel->lineView());
    ASSERT_EQ(batch.last(), texts::coversGrabbed());

    buttonNamed(*window, "Command6")->click();
    ASSERT_TRUE(waitUntil([&] { return !window->backgroundRun().isRunning(); }, 30000));
    const QStringList written = logs.entryList(QDir::Files);
    ASSERT_EQ(written.size(), 1);
    const QString log = text::decode(workspace.readBytes("Log/" + written.first())).value_or(QString());
    const QStringList logged = log.chopped(2).split(QStringLiteral("\r\n"));
    EXPECT_EQ(logged.mid(0, batch.size()), batch);
    EXPECT_EQ(logged.value(batch.size()), QStringLiteral("读取页面格式文件..."));
    EXPECT_EQ(logged.last(), rowTexts(*panel->lineView()).last());
}
