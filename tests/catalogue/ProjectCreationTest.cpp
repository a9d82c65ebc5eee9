#include "catalogue/ProjectCreation.h"

#include "catalogue/ProjectList.h"
#include "settings/IniFile.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::testing::RecordingMessages;
using tessaly::testing::TempWorkspace;

namespace {

class ProjectCreationTest : public ::testing::Test
{
protected:
    ProjectCreationTest()
    {
        files.withFolders();
        projects.setNames({QStringLiteral("Old")});
    }

    QString storedFolder(const QString &name) const
    {
        return ini::read(QStringLiteral("Setting"), QStringLiteral("File"),
                         files.workspace().projectSettingsFile(name));
    }

    TempWorkspace files;
    RecordingMessages messages;
    ProjectList projects;
};

} // namespace

TEST_F(ProjectCreationTest, WithoutAFolderTheProjectIsListedAtTheTopAndNoSettingsFileIsWritten)
{
    const ProjectCreation creation =
        createProject(files.workspace(), projects, {QStringLiteral(" 新片"), {}});
    EXPECT_EQ(creation.result, CreationResult::Created);
    EXPECT_TRUE(creation.failures.isEmpty());

    EXPECT_EQ(projects.names(), QStringList({QStringLiteral(" 新片"), QStringLiteral("Old")}));
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/ 新片.ini")));
    EXPECT_EQ(files.readBytes(QStringLiteral("Setting/List.ini")),
              QByteArray(" \xd0\xc2\xc6\xac\r\nOld\r\n"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ProjectCreationTest, AGivenFolderIsRecordedUnderTheName)
{
    const QString folder = files.makeFolder(QStringLiteral("Movies/剧集/第一季"));
    EXPECT_EQ(createProject(files.workspace(), projects, {QStringLiteral("第一季"), folder}).result,
              CreationResult::Created);
    EXPECT_EQ(storedFolder(QStringLiteral("第一季")), folder);
}

TEST_F(ProjectCreationTest, ARefusedNameChangesNothing)
{
    const ProjectCreation listed =
        createProject(files.workspace(), projects, {QStringLiteral("Old"), QStringLiteral("/movies/x")});
    const ProjectCreation unusable = createProject(files.workspace(), projects, {QStringLiteral("a？b"), {}});

    EXPECT_EQ(listed.result, CreationResult::Refused);
    EXPECT_EQ(listed.failureText(), QStringLiteral("该文件夹已经存在,请使用其他名称!"));
    EXPECT_EQ(unusable.result, CreationResult::Refused);
    EXPECT_EQ(unusable.failureText(), QStringLiteral("非法名称,数据中不能含有   ？   字符!"));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(projects.names(), QStringList({QStringLiteral("Old")}));
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/List.ini")));
    EXPECT_EQ(storedFolder(QStringLiteral("Old")), QString());
}

TEST_F(ProjectCreationTest, AnEmptyNameIsIgnoredSilently)
{
    const ProjectCreation creation =
        createProject(files.workspace(), projects, {QString(), QStringLiteral("/movies/x")});
    EXPECT_EQ(creation.result, CreationResult::Ignored);
    EXPECT_TRUE(creation.failures.isEmpty());
    EXPECT_EQ(projects.size(), 1);
}

TEST_F(ProjectCreationTest, AFailedSettingsWriteIsReportedAndNothingIsListed)
{
    // A folder where the settings file should be: it cannot be replaced.
    files.makeFolder(QStringLiteral("Setting/Blocked.ini"));

    const ProjectCreation creation =
        createProject(files.workspace(), projects, {QStringLiteral("Blocked"), QStringLiteral("/movies/x")});

    EXPECT_EQ(creation.result, CreationResult::Refused);
    ASSERT_EQ(creation.failures.size(), 1);
    EXPECT_EQ(creation.failures.first().path,
              files.workspace().projectSettingsFile(QStringLiteral("Blocked")));
    EXPECT_FALSE(creation.failures.first().reason.isEmpty());
    EXPECT_EQ(projects.names(), QStringList({QStringLiteral("Old")}));
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/List.ini")));
}

TEST(EpisodeFolderArgument, IsMadeAbsoluteWithoutATrailingSeparator)
{
    EXPECT_EQ(absoluteEpisodeFolder(QStringLiteral("Series/Season 1/"), QStringLiteral("/srv/movies")),
              QStringLiteral("/srv/movies/Series/Season 1"));
    EXPECT_EQ(absoluteEpisodeFolder(QStringLiteral("../other"), QStringLiteral("/srv/movies")),
              QStringLiteral("/srv/other"));
    EXPECT_EQ(absoluteEpisodeFolder(QStringLiteral("/data//films/"), QStringLiteral("/srv")),
              QStringLiteral("/data/films"));
    EXPECT_EQ(absoluteEpisodeFolder(QStringLiteral("."), QStringLiteral("/srv/movies")),
              QStringLiteral("/srv/movies"));
}

TEST(SuggestedProjectName, ASeasonOrDiscFolderIsNamedAfterItsSeriesToo)
{
    for (const char *part :
         {"Season 01", "season1", "S01", "s2", "第一季", "第1季", "第十二季", "第二部", "Disc 1", "DISC2",
          "Disk 3", "CD2", "cd 1", "DVD1", "Part 2", "Vol.3", "上部", "下集"}) {
        const QString name = QString::fromUtf8(part);
        EXPECT_EQ(suggestedProjectName(name, QStringLiteral("/movies/庆余年/") + name),
                  QStringLiteral("庆余年 ") + name);
    }
    for (const char *own :
         {"庆余年", "Seasons", "Season", "SOS", "S01E01", "第一集", "上海堡垒", "CD Collection", "2046"}) {
        const QString name = QString::fromUtf8(own);
        EXPECT_EQ(suggestedProjectName(name, QStringLiteral("/movies/Series/") + name), name);
    }
    // A season at the file system's root has no series to name.
    EXPECT_EQ(suggestedProjectName(QStringLiteral("Season 1"), QStringLiteral("/Season 1")),
              QStringLiteral("Season 1"));
}

TEST_F(ProjectCreationTest, AnUnreadableListRefusesBeforeAnythingIsWritten)
{
    files.writeBytes(QStringLiteral("Setting/List.ini"), QByteArray("A\r\n\xff\xff\xff\r\n"));
    ProjectList unreadable;
    ASSERT_EQ(unreadable.load(files.workspace().listFile()), ProjectList::LoadResult::Unreadable);

    const ProjectCreation creation =
        createProject(files.workspace(), unreadable, {QStringLiteral("New"), QStringLiteral("/movies/new")});
    EXPECT_EQ(creation.result, CreationResult::Refused);
    EXPECT_EQ(creation.failures, QList{ProjectList::unreadable(files.workspace().listFile())});
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/New.ini")));
    EXPECT_EQ(files.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("A\r\n\xff\xff\xff\r\n"));
}

TEST_F(ProjectCreationTest, AListThatCannotBeSavedLeavesEverySettingsFileAsItWas)
{
    // The settings file a deleted project left behind names its old folder.
    const QByteArray kept("[Setting]\r\nFile=/movies/old\r\n");
    files.writeBytes(QStringLiteral("Setting/Kept.ini"), kept);
    files.makeFolder(QStringLiteral("Setting/List.ini")); // nothing can be written there

    const ProjectCreation keptCreation =
        createProject(files.workspace(), projects, {QStringLiteral("Kept"), QStringLiteral("/movies/new")});
    const ProjectCreation freshCreation =
        createProject(files.workspace(), projects, {QStringLiteral("Fresh"), QStringLiteral("/movies/new")});

    EXPECT_EQ(projects.names(), QStringList({QStringLiteral("Old")}));
    EXPECT_EQ(files.readBytes(QStringLiteral("Setting/Kept.ini")), kept);
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/Fresh.ini")));
    for (const ProjectCreation &creation : {keptCreation, freshCreation}) {
        EXPECT_EQ(creation.result, CreationResult::ListNotSaved);
        // Only the list's failure: every settings file was put back.
        ASSERT_EQ(creation.failures.size(), 1);
        EXPECT_EQ(creation.failures.first().path, files.workspace().listFile());
        EXPECT_FALSE(creation.failures.first().reason.isEmpty());
    }
}
