#include "catalogue/ProjectSelection.h"

#include "catalogue/Episodes.h"
#include "support/TempWorkspace.h"

#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::testing::TempWorkspace;

TEST(ChosenProjectGuard, AsksForAChoiceOnlyWhenThereIsSomethingToChoose)
{
    EXPECT_EQ(chosenProjectGuard(0, false), GuardDecision::Silent);
    EXPECT_EQ(chosenProjectGuard(3, false), GuardDecision::AskForChoice);
    EXPECT_EQ(chosenProjectGuard(3, true), GuardDecision::GoOn);
    EXPECT_EQ(chooseProjectFirstText(), QStringLiteral("请先选择要操作的项目!"));
}

TEST(ProjectMenuPlan, FollowsTheListAndTheSelectedRow)
{
    const ProjectMenuPlan empty = projectMenuPlan(0, -1);
    EXPECT_TRUE(empty.show);
    EXPECT_TRUE(empty.onlyNew);

    EXPECT_FALSE(projectMenuPlan(3, -1).show);
    // One project: no menu at all, not a menu without the moves.
    EXPECT_FALSE(projectMenuPlan(1, 0).show);

    const ProjectMenuPlan first = projectMenuPlan(3, 0);
    EXPECT_TRUE(first.show);
    EXPECT_FALSE(first.onlyNew);
    EXPECT_FALSE(first.moveUpward);
    EXPECT_TRUE(first.moveDownward);

    const ProjectMenuPlan middle = projectMenuPlan(3, 1);
    EXPECT_TRUE(middle.moveUpward);
    EXPECT_TRUE(middle.moveDownward);

    const ProjectMenuPlan last = projectMenuPlan(3, 2);
    EXPECT_TRUE(last.moveUpward);
    EXPECT_FALSE(last.moveDownward);
}

TEST(ProjectDetails, ListsOnlyThePlainVisibleFilesOfTheEpisodeFolder)
{
    TempWorkspace ws;
    ws.withFolders();
    const QString folder = ws.makeFolder(QStringLiteral("films/剧集"));
    ws.makeFolder(QStringLiteral("films/剧集/extras"));
    ws.writeBytes(QStringLiteral("films/剧集/b.mp4"), "b");
    ws.writeBytes(QStringLiteral("films/剧集/A.mp4"), "a");
    ws.writeBytes(QStringLiteral("films/剧集/.hidden.mp4"), "h");
    ws.writeText(QStringLiteral("Setting/P.ini"), QStringLiteral("[Setting]\r\nFile=") + folder);
    ws.writeBytes(QStringLiteral("Web/Image/P.jpg"), "cover");

    const ProjectDetails details = readProjectDetails(ws.workspace(), QStringLiteral("P"));

    EXPECT_EQ(details.name, QStringLiteral("P"));
    EXPECT_EQ(details.coverFile, ws.workspace().coverFile(QStringLiteral("P")));
    EXPECT_EQ(details.episodeFolder, folder);
    EXPECT_EQ(details.episodes, (QStringList{QStringLiteral("A.mp4"), QStringLiteral("b.mp4")}));
}

TEST(ProjectDetails, EpisodesAreTheMediaFilesInTheOrderOneCountsThem)
{
    TempWorkspace ws;
    ws.withFolders();
    const QString folder = ws.makeFolder(QStringLiteral("films/剧集"));
    for (const char *name :
         {"第10集.mp4", "第2集.mp4", "第1集.MP4", "第1集.srt", "poster.jpg", "notes", "主题曲.flac"})
        ws.writeBytes(QStringLiteral("films/剧集/") + QString::fromUtf8(name), "x");
    ws.writeText(QStringLiteral("Setting/P.ini"), QStringLiteral("[Setting]\r\nFile=") + folder);

    ProjectDetails details = readProjectDetails(ws.workspace(), QStringLiteral("P"));
    EXPECT_EQ(details.episodes, (QStringList{QStringLiteral("主题曲.flac"), QStringLiteral("第1集.MP4"),
                                             QStringLiteral("第2集.mp4"), QStringLiteral("第10集.mp4")}));
    EXPECT_EQ(details.otherFiles, (QStringList{QStringLiteral("notes"), QStringLiteral("poster.jpg"),
                                               QStringLiteral("第1集.srt")}));

    ws.writeText(QStringLiteral("Setting/Setting.ini"), QStringLiteral("[Setting]\r\nNaturalOrder=False"));
    details = readProjectDetails(ws.workspace(), QStringLiteral("P"));
    EXPECT_EQ(details.episodes, (QStringList{QStringLiteral("主题曲.flac"), QStringLiteral("第10集.mp4"),
                                             QStringLiteral("第1集.MP4"), QStringLiteral("第2集.mp4")}));
}

TEST(EpisodeFiles, AreTheVideoAndSoundExtensionsInAnyCase)
{
    const QStringList extensions =
        QStringLiteral("mp4 m4v mov mkv webm avi wmv asf flv f4v mpg mpeg m2v vob ts m2ts "
                       "mts 3gp 3g2 ogv rm rmvb divx mp3 m4a aac flac ogg oga opus wav wma")
            .split(u' ');
    for (const QString &extension : extensions) {
        EXPECT_TRUE(isEpisodeFileName(QStringLiteral("第1集.") + extension)) << extension.toStdString();
        EXPECT_TRUE(isEpisodeFileName(QStringLiteral("a.b.") + extension.toUpper()))
            << extension.toStdString();
    }
    for (const char *name : {"poster.jpg", "第1集.srt", "第1集.mp4.srt", "a.mp4x", "a.mp", "a.m4", "a.t",
                             "mp4", "a.", "a.mp 4", "a.ｍｐ４"})
        EXPECT_FALSE(isEpisodeFileName(QString::fromUtf8(name))) << name;
}

TEST(ProjectDetails, MissingPiecesShowAsEmptyElements)
{
    TempWorkspace ws;
    ws.withFolders();
    ws.writeText(QStringLiteral("Setting/Gone.ini"), QStringLiteral("[Setting]\r\nFile=/no/such/folder"));
    ws.writeText(QStringLiteral("Setting/AFile.ini"),
                 QStringLiteral("[Setting]\r\nFile=") + ws.path(QStringLiteral("Setting/List.ini")));
    ws.writeList({QStringLiteral("x")});

    const ProjectDetails bare = readProjectDetails(ws.workspace(), QStringLiteral("Bare"));
    EXPECT_TRUE(bare.coverFile.isEmpty());
    EXPECT_TRUE(bare.episodeFolder.isEmpty());
    EXPECT_TRUE(bare.episodes.isEmpty());

    const ProjectDetails gone = readProjectDetails(ws.workspace(), QStringLiteral("Gone"));
    EXPECT_EQ(gone.episodeFolder, QStringLiteral("/no/such/folder"));
    EXPECT_TRUE(gone.episodes.isEmpty());

    // `File` naming a file instead of a folder shows the path, no episodes.
    const ProjectDetails aFile = readProjectDetails(ws.workspace(), QStringLiteral("AFile"));
    EXPECT_FALSE(aFile.episodeFolder.isEmpty());
    EXPECT_TRUE(aFile.episodes.isEmpty());
}

TEST(ProjectDetails, AnUnusableNameReadsNothingOutsideItsFolders)
{
    TempWorkspace ws;
    ws.withFolders();
    // "../Setting" would make its settings file Setting/../Setting.ini.
    ws.writeText(QStringLiteral("Setting.ini"), QStringLiteral("[Setting]\r\nFile=") + ws.root());
    ws.writeBytes(QStringLiteral("Web/Setting.jpg"), "x");

    const ProjectDetails details = readProjectDetails(ws.workspace(), QStringLiteral("../Setting"));

    EXPECT_EQ(details.name, QStringLiteral("../Setting"));
    EXPECT_TRUE(details.coverFile.isEmpty());
    EXPECT_TRUE(details.episodeFolder.isEmpty());
    EXPECT_TRUE(details.episodes.isEmpty());
}

TEST(ProjectFolderToOpen, OpensOnlyAnExistingEpisodeFolder)
{
    TempWorkspace ws;
    ws.withFolders();
    const QString folder = ws.makeFolder(QStringLiteral("films/F"));
    ws.writeText(QStringLiteral("Setting/Here.ini"), QStringLiteral("[Setting]\r\nFile=") + folder);
    ws.writeText(QStringLiteral("Setting/Gone.ini"), QStringLiteral("[Setting]\r\nFile=/no/such"));
    ws.writeText(QStringLiteral("Setting/Empty.ini"), QStringLiteral("[Setting]\r\nFile="));

    using Outcome = ProjectFolder::Outcome;
    EXPECT_EQ(projectFolderToOpen(ws.workspace(), QStringLiteral("NoIni")).outcome, Outcome::Nothing);

    const ProjectFolder here = projectFolderToOpen(ws.workspace(), QStringLiteral("Here"));
    EXPECT_EQ(here.outcome, Outcome::Open);
    EXPECT_EQ(here.path, folder);

    const ProjectFolder gone = projectFolderToOpen(ws.workspace(), QStringLiteral("Gone"));
    EXPECT_EQ(gone.outcome, Outcome::Missing);
    EXPECT_EQ(gone.path, QStringLiteral("/no/such"));

    EXPECT_EQ(projectFolderToOpen(ws.workspace(), QStringLiteral("Empty")).outcome, Outcome::Missing);
    EXPECT_EQ(projectFolderToOpen(ws.workspace(), QStringLiteral("a/b")).outcome, Outcome::UnusableName);
}

// The system ends a path at a NUL: read as it is, this `File` would list
// the episodes of one folder while the pages link another.
TEST(ProjectDetails, AFolderHoldingAControlCharacterIsShownButNeitherListedNorOpened)
{
    TempWorkspace ws;
    ws.withFolders();
    const QString show = ws.makeFolder(QStringLiteral("films/Show"));
    ws.writeBytes(QStringLiteral("films/Show/1.mp4"), "video");
    const QString hostile = show + QChar(u'\0') + QStringLiteral("/../../x");
    ws.writeText(QStringLiteral("Setting/Show.ini"), QStringLiteral("[Setting]\r\nFile=") + hostile);

    const ProjectDetails details = readProjectDetails(ws.workspace(), QStringLiteral("Show"));
    EXPECT_EQ(details.episodeFolder, hostile);
    EXPECT_FALSE(details.usableFolder);
    EXPECT_TRUE(details.episodes.isEmpty());
    const ProjectFolder folder = projectFolderToOpen(ws.workspace(), QStringLiteral("Show"));
    EXPECT_EQ(folder.outcome, ProjectFolder::Outcome::UnusableFolder);
    EXPECT_EQ(folder.path, hostile);

    for (const char16_t c : {u'\x01', u'\x1F', u'\x7F'}) {
        ws.writeText(QStringLiteral("Setting/Show.ini"),
                     QStringLiteral("[Setting]\r\nFile=") + show + QChar(c));
        EXPECT_TRUE(readProjectDetails(ws.workspace(), QStringLiteral("Show")).episodes.isEmpty()) << int(c);
    }
    // A tab inside a hand-edited folder name names that folder.
    const QString tabbed = ws.makeFolder(QStringLiteral("films/A\tB"));
    ws.writeBytes(QStringLiteral("films/A\tB/1.mp4"), "video");
    ws.writeText(QStringLiteral("Setting/Tab.ini"), QStringLiteral("[Setting]\r\nFile=") + tabbed);
    EXPECT_EQ(readProjectDetails(ws.workspace(), QStringLiteral("Tab")).episodes,
              QStringList{QStringLiteral("1.mp4")});
}
