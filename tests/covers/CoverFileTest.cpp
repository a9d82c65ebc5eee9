#include "covers/CoverFile.h"

#include "covers/StartPage.h"
#include "support/TempWorkspace.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace tessaly::covers;
using tessaly::testing::TempWorkspace;

TEST(CoverFile, ReplacesTheTargetWholeAndLeavesNoTemporaryFile)
{
    TempWorkspace workspace;
    workspace.writeBytes("Web/Image/A.jpg", "old");
    workspace.writeBytes("picked.jpg", "new picture");
    QString reason;
    ASSERT_TRUE(replaceFileWithCopy(workspace.path("picked.jpg"), workspace.path("Web/Image/A.jpg"), &reason))
        << reason.toStdString();
    EXPECT_EQ(workspace.readBytes("Web/Image/A.jpg"), QByteArray("new picture"));
    EXPECT_EQ(QDir(workspace.path("Web/Image")).entryList(QDir::Files | QDir::Hidden), QStringList{"A.jpg"});
}

TEST(CoverFile, AFailedWriteKeepsTheOldFileAndSaysWhy)
{
    TempWorkspace workspace;
    workspace.makeFolder("Web/Image/A.jpg/occupied");
    workspace.writeBytes("picked.jpg", "new");
    QString reason;
    EXPECT_FALSE(
        replaceFileWithCopy(workspace.path("picked.jpg"), workspace.path("Web/Image/A.jpg"), &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(QDir(workspace.path("Web/Image/A.jpg/occupied")).exists());
    EXPECT_EQ(QDir(workspace.path("Web/Image")).entryList(QDir::Files | QDir::Hidden), QStringList{});

    EXPECT_FALSE(replaceFileWithBytes(workspace.path("Missing/A.jpg"), "x", &reason));
    EXPECT_FALSE(replaceFileWithCopy(workspace.path("nothing.jpg"), workspace.path("B.jpg"), &reason));
    EXPECT_FALSE(workspace.exists("B.jpg"));
}

TEST(StartPage, HasSeventeenLinesAndTheWaitingPrompt)
{
    const QString page = startPageText(false);
    EXPECT_EQ(page.count(QStringLiteral("\r\n")), 17);
    EXPECT_TRUE(page.startsWith(QStringLiteral("<html>\r\n<head>\r\n")));
    EXPECT_TRUE(page.contains(QStringLiteral("<span class=\"STYLE2\">请点击搜索键开始....</span>\r\n")));
    EXPECT_TRUE(
        startPageText(true).contains(QStringLiteral("<span class=\"STYLE2\">等待页面加载....</span>")));
}
