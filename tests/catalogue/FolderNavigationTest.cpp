#include "catalogue/FolderNavigation.h"

#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::testing::RecordingMessages;
using tessaly::testing::TempWorkspace;

namespace {

class FolderNavigationTest : public ::testing::Test
{
protected:
    FolderNavigationTest()
    {
        files.withFolders();
        root = files.makeFolder(QStringLiteral("Movies"));
        files.makeFolder(QStringLiteral("Movies/Series/Season 2"));
        files.makeFolder(QStringLiteral("Movies/Series/Season 1/Extras"));
        files.makeFolder(QStringLiteral("Movies/Film"));
        files.writeBytes(QStringLiteral("Movies/readme.txt"), "x");
    }

    TempWorkspace files;
    QString root;
};

} // namespace

TEST_F(FolderNavigationTest, ListsOnlyTheFoldersOfTheCurrentLevelByBareName)
{
    FolderNavigation navigation(root);
    EXPECT_EQ(navigation.folders(), QStringList({QStringLiteral("Film"), QStringLiteral("Series")}));
    EXPECT_EQ(navigation.pathOf(QStringLiteral("Film")), root + QStringLiteral("/Film"));
}

TEST_F(FolderNavigationTest, DownTwoLevelsAndBackUpToTheRoot)
{
    FolderNavigation navigation(root);
    ASSERT_TRUE(navigation.open(QStringLiteral("Series")));
    ASSERT_TRUE(navigation.open(QStringLiteral("Season 1")));
    EXPECT_EQ(navigation.subPath(), QStringLiteral("/Series/Season 1"));
    EXPECT_EQ(navigation.folders(), QStringList({QStringLiteral("Extras")}));
    EXPECT_EQ(navigation.pathOf(QStringLiteral("Extras")), root + QStringLiteral("/Series/Season 1/Extras"));
    EXPECT_EQ(navigation.relativePathOf(QStringLiteral("Extras")), QStringLiteral("Series/Season 1/Extras"));

    EXPECT_TRUE(navigation.up());
    EXPECT_EQ(navigation.subPath(), QStringLiteral("/Series"));
    EXPECT_TRUE(navigation.up());
    EXPECT_EQ(navigation.subPath(), QString());

    const files::Outcome<void> aboveRoot = navigation.up();
    ASSERT_FALSE(aboveRoot);
    EXPECT_EQ(aboveRoot.failure().text(), QStringLiteral("已是根目录!"));
    EXPECT_EQ(navigation.folders(), QStringList({QStringLiteral("Film"), QStringLiteral("Series")}));
}

TEST_F(FolderNavigationTest, ARootWithTrailingSeparatorsJoinsWithExactlyOne)
{
    FolderNavigation navigation(root + QStringLiteral("//"));
    EXPECT_EQ(navigation.movieRoot(), root);
    ASSERT_TRUE(navigation.open(QStringLiteral("Series")));
    EXPECT_EQ(navigation.pathOf(QStringLiteral("Season 2")), root + QStringLiteral("/Series/Season 2"));
}

TEST_F(FolderNavigationTest, AFolderThatVanishedIsReportedAndTheLevelStays)
{
    FolderNavigation navigation(root);
    QDir(root + QStringLiteral("/Film")).removeRecursively();

    const files::Outcome<void> opened = navigation.open(QStringLiteral("Film"));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.failure().text(), root + QStringLiteral("/Film\r\n文件夹不存在!"));
    EXPECT_EQ(navigation.subPath(), QString());
}

TEST_F(FolderNavigationTest, AnEmptyMissingOrFileRootListsNothingWithoutAMessage)
{
    const RecordingMessages messages;
    // An empty root must not fall back to the process's current folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(root);
    const FolderNavigation empty{QString()};
    QDir::setCurrent(previous);
    EXPECT_TRUE(empty.folders().isEmpty());

    EXPECT_TRUE(FolderNavigation(root + QStringLiteral("/Gone")).folders().isEmpty());
    EXPECT_TRUE(FolderNavigation(root + QStringLiteral("/readme.txt")).folders().isEmpty());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FolderNavigationTest, SeasonsComeInTheOrderOneCountsThemUnlessTheSettingsSayFalse)
{
    files.makeFolder(QStringLiteral("Movies/Series/Season 10"));
    files.writeSiteSettings(root);
    FolderNavigation navigation = FolderNavigation::fromSettings(files.workspace());
    ASSERT_TRUE(navigation.open(QStringLiteral("Series")));
    EXPECT_EQ(navigation.folders(), (QStringList{QStringLiteral("Season 1"), QStringLiteral("Season 2"),
                                                 QStringLiteral("Season 10")}));

    files.writeText(QStringLiteral("Setting/Setting.ini"), QStringLiteral("[Setting]\r\nMovieFile=") + root +
                                                               QStringLiteral("\r\nNaturalOrder=False"));
    navigation = FolderNavigation::fromSettings(files.workspace());
    ASSERT_TRUE(navigation.open(QStringLiteral("Series")));
    EXPECT_EQ(navigation.folders(), (QStringList{QStringLiteral("Season 1"), QStringLiteral("Season 10"),
                                                 QStringLiteral("Season 2")}));
}

TEST_F(FolderNavigationTest, TheRootComesFromTheSettingsFileWhenThereIsOne)
{
    EXPECT_EQ(FolderNavigation::fromSettings(files.workspace()).movieRoot(), QString());

    files.writeSiteSettings(root + QStringLiteral("/"));
    const FolderNavigation navigation = FolderNavigation::fromSettings(files.workspace());
    EXPECT_EQ(navigation.movieRoot(), root);
    EXPECT_EQ(navigation.folders().size(), 2);
}
