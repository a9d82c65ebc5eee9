#include "app/gui/MainWindow.h"
#include "app/gui/SiteController.h"
#include "app/gui/WebCopyController.h"
#include "site/gui/MessagePanel.h"
#include "support/TestVideos.h"
#include "support/Waiting.h"
#include "support/WidgetDriving.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class WebCopyWindow : public WindowFixture
{
protected:
    WebCopyWindow()
    {
        writeQuietStyle();
        files.writeSiteSettings(files.path(QStringLiteral("m")), files.makeFolder(QStringLiteral("site")));
    }

    // Runs the command to its end, which is its `finished` signal.
    void runToEnd(const std::function<void()> &start)
    {
        QSignalSpy finished(controller, &WebCopyController::finished);
        start();
        ASSERT_TRUE(waitUntil([&] { return finished.size() == 1; }, 60000));
    }
    QStringList copies() const
    {
        return QDir(files.path(QStringLiteral("site/Video/甲"))).entryList(QDir::Files | QDir::Hidden);
    }

    WebCopyController *controller = nullptr;
};

} // namespace

// Two episodes: a quick copy, then one made anew, which the panel's "停止"
// stops midway; the first copy stays, nothing is left of the second.
TEST_F(WebCopyWindow, SeveralEpisodesAreAskedForAndStopMidwayWithoutAPartialFile)
{
    const QString folder = files.makeFolder(QStringLiteral("m/甲"));
    files.writeText(QStringLiteral("Setting/甲.ini"), QStringLiteral("[Setting]\r\nFile=") + folder);
    MediaSample quick;
    quick.muxer = "matroska";
    ASSERT_TRUE(quick.write(folder + QStringLiteral("/a.mkv")));
    TestVideo slow;
    slow.seconds = 20;
    ASSERT_TRUE(slow.write(folder + QStringLiteral("/b.mp4")));
    files.writeList({QStringLiteral("甲")});
    openWindow(Showing::Shown);
    window->selectRow(0);
    controller = window->findChild<WebCopyController *>();
    ASSERT_NE(controller, nullptr);
    MessagePanel *panel = window->findChild<SiteController *>()->panel();
    QPushButton *convert = buttonNamed(*window, "Command13");

    messages.setNextAnswer(MessageAnswer::No);
    runToEnd([&] { convert->click(); });
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().first().startsWith(
        QStringLiteral("将转换 2 集:复制 1 集,转换音频 0 集,重新编码 1 集;约需 ")));
    EXPECT_TRUE(copies().isEmpty());

    messages.clear();
    messages.setNextAnswer(MessageAnswer::Yes);
    const auto *bar = panel->findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
    runToEnd([&] {
        convert->click();
        ASSERT_TRUE(waitUntil([&] { return bar->value() > 150; }, 60000));
        EXPECT_FALSE(convert->isEnabled());
        EXPECT_FALSE(actionNamed(*window, "M9")->isEnabled());
        // Closing asks; "否" leaves the run going.
        messages.setNextAnswer(MessageAnswer::No);
        EXPECT_FALSE(window->close());
        buttonNamed(*panel, "Command14")->click();
    });
    EXPECT_EQ(messages.texts().mid(1), (QStringList{QStringLiteral("正在转换视频,确定要退出吗?"),
                                                    QStringLiteral("转换已停止,已转换 1 集。")}));
    EXPECT_EQ(copies(), QStringList{QStringLiteral("a.mkv.mp4")});
    EXPECT_EQ(rowTexts(*panel->lineView()).mid(rowTexts(*panel->lineView()).size() - 2),
              (QStringList{QStringLiteral("转换已停止"), QStringLiteral("转换已停止,已转换 1 集。")}));
    EXPECT_FALSE(buttonNamed(*panel, "Command14")->isVisible());
    EXPECT_TRUE(convert->isEnabled());
}
