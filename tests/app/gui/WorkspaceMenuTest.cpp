#include "app/gui/MainWindow.h"
#include "support/RecordingDesktop.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace tessaly;
using tessaly::testing::actionNamed;
using tessaly::testing::buttonNamed;
using tessaly::testing::RecordingDesktop;
using tessaly::testing::RecordingMessages;
using tessaly::testing::TempWorkspace;
using tessaly::testing::WindowFixture;

namespace {

class WorkspaceMenuTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        writeQuietStyle();
        openWindow(Showing::Hidden);
    }

    void trigger(const char *name) { actionNamed(*window, name)->trigger(); }

    TempWorkspace &ws = files;
};

} // namespace

TEST_F(WorkspaceMenuTest, EditPageSourceOpensTheStyleFolder)
{
    trigger("M2");
    EXPECT_EQ(desktop.folders(), QStringList{ws.workspace().style()});
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WorkspaceMenuTest, EditPageSourceWithoutStyleFolderSaysSo)
{
    QDir(ws.workspace().style()).removeRecursively();
    trigger("M2");
    EXPECT_TRUE(desktop.isEmpty());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Style文件夹不存在!")});
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
}

TEST_F(WorkspaceMenuTest, MovieAndSiteFolderCommands)
{
    trigger("M3");
    trigger("M4");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(desktop.isEmpty());

    const QString movies = ws.makeFolder(QStringLiteral("movies"));
    ws.writeSiteSettings(movies, ws.path(QStringLiteral("deleted-site")));
    trigger("M3");
    trigger("M4");
    EXPECT_EQ(desktop.folders(), QStringList{movies});
    EXPECT_EQ(messages.texts(),
              QStringList{ws.path(QStringLiteral("deleted-site")) + QStringLiteral("\r\n文件夹不存在!")});
}

TEST_F(WorkspaceMenuTest, ClearCacheAnsweredNoDeletesNothing)
{
    ws.writeBytes(QStringLiteral("Temp/a.jpg"), "a");
    messages.setNextAnswer(MessageAnswer::No);
    trigger("M5");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("要清空缓存文件吗?")});
    EXPECT_EQ(messages.last().buttons, MessageButtons::YesNo);
    EXPECT_TRUE(ws.exists(QStringLiteral("Temp/a.jpg")));
}

TEST_F(WorkspaceMenuTest, ClearCacheWithoutTempSaysNothingAfterTheQuestion)
{
    trigger("M5");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("要清空缓存文件吗?")});
    EXPECT_FALSE(ws.exists(QStringLiteral("Temp")));
}

TEST_F(WorkspaceMenuTest, ClearLogDeletesTheLogsAndKeepsTheSubFolder)
{
    ws.writeBytes(QStringLiteral("Log/1.log"), "1");
    ws.writeBytes(QStringLiteral("Log/2.log"), "2");
    ws.writeBytes(QStringLiteral("Log/3.log"), "3");
    ws.writeBytes(QStringLiteral("Log/keep/4.log"), "4");
    trigger("M6");
    EXPECT_EQ(messages.texts(),
              (QStringList{QStringLiteral("要清空日志吗?"), QStringLiteral("清空日志完毕!")}));
    EXPECT_EQ(messages.last().icon, MessageIcon::Information);
    EXPECT_FALSE(ws.exists(QStringLiteral("Log/1.log")));
    EXPECT_FALSE(ws.exists(QStringLiteral("Log/3.log")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Log/keep/4.log")));
}

TEST_F(WorkspaceMenuTest, TheSiteLinkButtonOpensWebLinkOrAsksForOne)
{
    QTest::mouseClick(buttonNamed(*window, "Command8"), Qt::LeftButton);
    ws.writeSiteSettings(QString(), QString(), QStringLiteral(" "));
    QTest::mouseClick(buttonNamed(*window, "Command8"), Qt::LeftButton);
    EXPECT_TRUE(desktop.isEmpty());
    const QString askForLink = QStringLiteral("请先在设置中填写站点链接!");
    EXPECT_EQ(messages.texts(), (QStringList{askForLink, askForLink}));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    messages.clear();

    ws.writeSiteSettings(QString(), QString(), QStringLiteral("http://192.168.1.5/"));
    QTest::mouseClick(buttonNamed(*window, "Command8"), Qt::LeftButton);
    EXPECT_EQ(desktop.urls(), QStringList{QStringLiteral("http://192.168.1.5/")});
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WorkspaceMenuTest, AFolderOrLinkNothingCanOpenIsSaidWithItsPath)
{
    desktop.refuseEverything();
    trigger("M2");
    ws.writeSiteSettings(QString(), QString(), QStringLiteral("http://192.168.1.5/"));
    QTest::mouseClick(buttonNamed(*window, "Command8"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), (QStringList{ws.workspace().style() + QStringLiteral("\r\n无法打开文件夹!"),
                                             QStringLiteral("http://192.168.1.5/\r\n无法打开链接!")}));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
}

TEST_F(WorkspaceMenuTest, StyleDesignOpensTheStyleDialogOverTheWindow)
{
    QString opened;
    tessaly::testing::whenModalDialogShown([&](QDialog &dialog) {
        opened = dialog.objectName() + QLatin1Char('=') + dialog.windowTitle();
        EXPECT_EQ(dialog.parentWidget(), window.get());
    });
    trigger("M7");
    EXPECT_EQ(opened, QStringLiteral("Form8=布局设计"));
    EXPECT_TRUE(messages.isEmpty());
}
