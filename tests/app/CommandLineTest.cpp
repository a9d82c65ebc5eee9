#include "app/CommandLine.h"

#include "files/Reasons.h"
#include "files/TextFile.h"
#include "media/FactsCache.h"
#include "media/WebCopy.h"
#include "site/DefaultCover.h"
#include "support/DataHome.h"
#include "support/FullDisk.h"
#include "support/Permissions.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/TestVideos.h"
#include "workspace/WorkspaceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class CommandLineTest : public ::testing::Test
{
protected:
    int run(QStringList arguments)
    {
        out.clear();
        err.clear();
        arguments.prepend(space.root());
        arguments.prepend(QStringLiteral("--workspace"));
        CommandLine commandLine(
            QStringLiteral("/nonexistent"), [this](const QString &line) { out.append(line); },
            [this](const QString &line) { err.append(line); });
        return commandLine.run(arguments);
    }
    void addProject(const QString &name)
    {
        space.makeFolder(QStringLiteral("m/") + name);
        space.writeText(QStringLiteral("Setting/") + name + QStringLiteral(".ini"),
                        QStringLiteral("[Setting]\r\nFile=") + space.path(QStringLiteral("m/") + name));
        space.writeBytes(QStringLiteral("Web/Image/") + name + QStringLiteral(".jpg"), "cover");
    }

    TempWorkspace space;
    RecordingMessages messages;
    QStringList out;
    QStringList err;
};

} // namespace

TEST_F(CommandLineTest, GenerateOnAFreshWorkspaceWorksWithTheDefaultTemplates)
{
    space.writeList({QStringLiteral("甲")});
    addProject(QStringLiteral("甲"));
    EXPECT_EQ(run({QStringLiteral("generate")}), 0);
    EXPECT_EQ(out.first(), QStringLiteral("读取页面格式文件..."));
    EXPECT_EQ(out.last(), QStringLiteral("生成网站成功..."));
    EXPECT_TRUE(messages.texts().contains(
        QStringLiteral("布局设计文件不存在\r\n在 菜单 → 布局设计 中保存一次即可不再显示。")));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("生成网站成功!"));
    EXPECT_TRUE(space.exists(QStringLiteral("Style/PageStyle.html")));
    EXPECT_TRUE(space.readBytes(QStringLiteral("Web/Data/甲.html")).contains("<video id=\"video1\""));
    EXPECT_EQ(QDir(space.path(QStringLiteral("Log"))).entryList(QDir::Files).size(), 1);
}

TEST_F(CommandLineTest, TheFirstCommandInANewWorkspaceWritesTheStyleAndShowsNoBox)
{
    EXPECT_EQ(run({QStringLiteral("generate")}), 1);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("没有内容!")});
    EXPECT_TRUE(space.readBytes(QStringLiteral("Style/Style.ini"))
                    .contains(text::encode(QStringLiteral("\r\nPageset=新版\r\n"))));
}

TEST_F(CommandLineTest, ListPrintsTheNamesInOrderAndNothingElse)
{
    space.writeList({QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(run({QStringLiteral("list")}), 0);
    EXPECT_EQ(out, (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("b")}));
}

TEST_F(CommandLineTest, RefusalsAndFailuresExitWithOne)
{
    EXPECT_EQ(run({QStringLiteral("generate")}), 1);
    EXPECT_EQ(messages.texts().last(), QStringLiteral("没有内容!"));

    space.writeList({QStringLiteral("a"), QStringLiteral("../x")});
    addProject(QStringLiteral("a"));
    messages.clear();
    EXPECT_EQ(run({QStringLiteral("update"), QStringLiteral("b")}), 1);
    EXPECT_EQ(messages.texts().last(), QStringLiteral("没有内容!"));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/a.html")));

    EXPECT_EQ(run({QStringLiteral("generate")}), 1);
    EXPECT_TRUE(out.contains(QStringLiteral("无法使用的项目名称: ../x")));
}

TEST_F(CommandLineTest, UpdateActsOnTheNamedProject)
{
    space.writeList({QStringLiteral("a"), QStringLiteral("b")});
    addProject(QStringLiteral("a"));
    addProject(QStringLiteral("b"));
    space.writeSiteSettings(space.path(QStringLiteral("m")), space.path(QStringLiteral("nosite")), QString(),
                            QStringLiteral("True"));
    EXPECT_EQ(run({QStringLiteral("update"), QStringLiteral("b")}), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("站点路径连接失败...无法更新")));
    EXPECT_EQ(out.last(), QStringLiteral("更新本集内容成功!"));
    EXPECT_TRUE(space.exists(QStringLiteral("Web/Data/a.html")));
    EXPECT_FALSE(space.exists(QStringLiteral("Web/index.html")));
}

TEST_F(CommandLineTest, UsageErrorsExitWithTwo)
{
    for (const QStringList &arguments :
         {QStringList{}, QStringList{QStringLiteral("update")}, QStringList{QStringLiteral("frobnicate")},
          QStringList{QStringLiteral("list"), QStringLiteral("extra")}}) {
        EXPECT_EQ(run(arguments), 2);
        EXPECT_TRUE(err.join(u'\n').contains(QStringLiteral("tessaly-cli [--workspace DIR]")));
    }
    CommandLine bare(
        QString(), [](const QString &) {}, [](const QString &) {});
    EXPECT_EQ(bare.run({QStringLiteral("--workspace")}), 2);
}

TEST_F(CommandLineTest, DemoMakesItsOwnWorkspaceSoNamingOneIsAUsageError)
{
    QStringList made;
    CommandLine commandLine(
        QStringLiteral("/nonexistent"), [this](const QString &line) { out.append(line); },
        [this](const QString &line) { err.append(line); });
    commandLine.setExampleMaker([&made](const QString &folder, ProgressSink &) {
        made.append(folder);
        return true;
    });
    EXPECT_EQ(commandLine.run({QStringLiteral("--workspace"), space.root(), QStringLiteral("demo"),
                               QStringLiteral("example")}),
              2);
    EXPECT_EQ(commandLine.run({QStringLiteral("demo")}), 2);
    EXPECT_TRUE(made.isEmpty());
    EXPECT_TRUE(err.join(u'\n').contains(QStringLiteral("tessaly-cli demo DIR")));
    EXPECT_EQ(commandLine.run({QStringLiteral("demo"), QStringLiteral("example")}), 0);
    EXPECT_EQ(made, QStringList{QStringLiteral("example")});
}

TEST_F(CommandLineTest, ABusyWorkspaceIsRefused)
{
    space.withFolders();
    space.writeList({QStringLiteral("a")});
    WorkspaceLock other(space.workspace());
    ASSERT_TRUE(other.acquire());
    EXPECT_EQ(run({QStringLiteral("list")}), 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(messages.texts(),
              QStringList{space.workspace().root() + QStringLiteral("\r\n工作区正在被另一个Tessaly使用!")});
}

TEST_F(CommandLineTest, AddPutsTheProjectOnTopWithItsFolderMadeAbsolute)
{
    space.writeList({QStringLiteral("A"), QStringLiteral("B")});
    const QString film = space.makeFolder(QStringLiteral("Movies/Film"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(space.path(QStringLiteral("Movies")));
    const int status = run({QStringLiteral("add"), QStringLiteral("Film"), QStringLiteral("Film/")});
    QDir::setCurrent(previous);

    EXPECT_EQ(status, 0);
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("Film\r\nA\r\nB\r\n"));
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/Film.ini")),
              QByteArray("[Setting]\r\nFile=") + film.toUtf8() + "\r\n");

    // Without a folder no settings file is written.
    EXPECT_EQ(run({QStringLiteral("add"), QStringLiteral("无目录")}), 0);
    EXPECT_FALSE(space.exists(QStringLiteral("Setting/无目录.ini")));
}

TEST_F(CommandLineTest, AddRefusesAFolderThatIsMissingOrAFileAndWritesNothing)
{
    space.writeList({QStringLiteral("Film")});
    space.writeBytes(QStringLiteral("Movies/a file"), "x");
    for (const QString &folder :
         {space.path(QStringLiteral("Movies/gone")), space.path(QStringLiteral("Movies/a file"))}) {
        messages.clear();
        EXPECT_EQ(run({QStringLiteral("add"), QStringLiteral("New"), folder}), 1);
        EXPECT_EQ(messages.texts().filter(QStringLiteral("文件夹")),
                  QStringList{folder + QStringLiteral("\r\n文件夹不存在!")});
    }
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("Film\r\n"));
    EXPECT_FALSE(space.exists(QStringLiteral("Setting/New.ini")));
}

TEST_F(CommandLineTest, AddRefusesNamesThatCannotWorkAndChangesNothing)
{
    space.writeList({QStringLiteral("Film")});
    for (const QString &name : {QStringLiteral("Film"), QStringLiteral("#1"), QStringLiteral("a?b"),
                                QStringLiteral(".hidden"), QStringLiteral("setting")}) {
        messages.clear();
        EXPECT_EQ(run({QStringLiteral("add"), name}), 1) << name.toStdString();
        EXPECT_EQ(messages.messages().size(), messages.texts().filter(QStringLiteral("布局")).size() + 1);
    }
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("Film\r\n"));

    EXPECT_EQ(run({QStringLiteral("add")}), 2);
    EXPECT_EQ(run({QStringLiteral("add"), QString()}), 2);
    EXPECT_EQ(run({QStringLiteral("add"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}), 2);
    EXPECT_FALSE(err.isEmpty());
}

TEST_F(CommandLineTest, AddRefusesFoldersTheSettingsFileCannotCarry)
{
    space.writeList({QStringLiteral("Film")});
    const QString trailing = space.makeFolder(QStringLiteral("m/Film "));
    const QString unsavable = space.makeFolder(QStringLiteral("m/小䴙䴘"));
    EXPECT_EQ(run({QStringLiteral("add"), QStringLiteral("A"), trailing}), 1);
    EXPECT_EQ(run({QStringLiteral("add"), QStringLiteral("B"), unsavable}), 1);
    EXPECT_EQ(messages.texts().filter(QStringLiteral("路径")),
              (QStringList{trailing + QStringLiteral("\r\n路径不能以空白开头或结尾,也不能含有控制字符!"),
                           unsavable + QStringLiteral("\r\n路径中含有无法保存的字符!")}));
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("Film\r\n"));
    EXPECT_FALSE(space.exists(QStringLiteral("Setting/A.ini")));
    EXPECT_FALSE(space.exists(QStringLiteral("Setting/B.ini")));
}

TEST_F(CommandLineTest, RemoveDeletesPageAndCoverButKeepsTheSettingsFile)
{
    space.writeList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a")});
    addProject(QStringLiteral("a"));
    space.writeBytes(QStringLiteral("Web/Data/a.html"), "page");

    EXPECT_EQ(run({QStringLiteral("remove"), QStringLiteral("a")}), 0);
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("b\r\na\r\n"));
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Data/a.html")));
    EXPECT_FALSE(space.exists(QStringLiteral("Web/Image/a.jpg")));
    EXPECT_TRUE(space.exists(QStringLiteral("Setting/a.ini")));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("删除成功!"));

    EXPECT_EQ(run({QStringLiteral("remove"), QStringLiteral("zzz")}), 1);
    EXPECT_EQ(messages.texts().last(), QStringLiteral("没有内容!"));
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("b\r\na\r\n"));
}

TEST_F(CommandLineTest, RemovingAnUnusableNameDropsOnlyItsRow)
{
    space.writeList({QStringLiteral("../Setting/x"), QStringLiteral("b")});
    space.writeBytes(QStringLiteral("Setting/x.html"), "must stay");
    EXPECT_EQ(run({QStringLiteral("remove"), QStringLiteral("../Setting/x")}), 0);
    EXPECT_FALSE(messages.texts().contains(QStringLiteral("无法使用的项目名称: ../Setting/x")));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("删除成功!"));
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("b\r\n"));
    EXPECT_TRUE(space.exists(QStringLiteral("Setting/x.html")));
}

TEST_F(CommandLineTest, CoverCommandsTakeFramesFromTheVideos)
{
    space.writeList({QStringLiteral("甲"), QStringLiteral("乙")});
    addProject(QStringLiteral("甲"));
    addProject(QStringLiteral("乙"));
    ASSERT_TRUE(TestVideo().write(space.path(QStringLiteral("m/甲/b.mp4"))));
    space.writeBytes(QStringLiteral("m/甲/a.avi"), "damaged");

    EXPECT_EQ(run({QStringLiteral("cover"), QStringLiteral("甲"), QStringLiteral("1")}), 1);
    EXPECT_EQ(messages.texts().last(), Messages::withPath(space.path(QStringLiteral("m/甲/a.avi")),
                                                          QStringLiteral("不是视频文件或文件已损坏")));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Image/甲.jpg")), "cover");
    EXPECT_EQ(run({QStringLiteral("cover"), QStringLiteral("甲"), QStringLiteral("b.mp4")}), 0);
    EXPECT_EQ(out, QStringList{space.workspace().coverFile(QStringLiteral("甲"))});
    EXPECT_EQ(run({QStringLiteral("cover"), QStringLiteral("丙")}), 1);

    // 乙 keeps its own cover; 甲's is made the built-in one and is replaced.
    space.writeBytes(QStringLiteral("Web/Image/甲.jpg"), defaultCoverBytes());
    EXPECT_EQ(run({QStringLiteral("covers-missing")}), 0);
    EXPECT_EQ(out, (QStringList{QStringLiteral("截取封面: 甲..."), QStringLiteral("截取封面完成")}));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("截取封面完成"));
    EXPECT_NE(space.readBytes(QStringLiteral("Web/Image/甲.jpg")), defaultCoverBytes());
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Image/乙.jpg")), "cover");
    EXPECT_EQ(run({QStringLiteral("covers-missing"), QStringLiteral("甲")}), 2);
}

TEST_F(CommandLineTest, CheckPrintsWhatBrowsersMakeOfEachEpisodeAndGoesOnPastAMissingFolder)
{
    space.writeText(QStringLiteral("Style/Style.ini"),
                    QStringLiteral("[Setting]\r\nCoverwidth=185\r\nCoverheight=250\r\nLinecontent=3"));
    space.writeList({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
    for (const char *name : {"甲", "乙", "丙"})
        addProject(QString::fromUtf8(name));
    ASSERT_TRUE(MediaSample{}.write(space.path(QStringLiteral("m/甲/1.mp4"))));
    space.writeBytes(QStringLiteral("m/甲/2\t.avi"), "damaged");
    QDir(space.path(QStringLiteral("m/乙"))).removeRecursively();
    MediaSample matroska;
    matroska.muxer = "matroska";
    ASSERT_TRUE(matroska.write(space.path(QStringLiteral("m/丙/a.mkv"))));
    // A name that is not UTF-8 (GBK "第1集.mp4") is checked all the same.
    const QByteArray gbk = "\xb5\xda"
                           "1\xbc\xaf.mp4";
    ASSERT_TRUE(MediaSample{}.write(space.path(QStringLiteral("m/丙/b.mp4"))));
    ASSERT_EQ(::rename(QFile::encodeName(space.path(QStringLiteral("m/丙/b.mp4"))).constData(),
                       (QFile::encodeName(space.path(QStringLiteral("m/丙/"))) + gbk).constData()),
              0);

    const QStringList first = {QStringLiteral("甲\t1.mp4\t可以播放\t\t0:00:01"),
                               QStringLiteral("甲\t2?.avi\t无法识别的视频文件\t无法读取\t")};
    EXPECT_EQ(run({QStringLiteral("check")}), 1);
    const QStringList third = {QStringLiteral("丙\ta.mkv\t部分浏览器无法播放\tMKV 格式\t0:00:01"),
                               QStringLiteral("丙\t") + QFile::decodeName(gbk) +
                                   QStringLiteral("\t可以播放\t\t0:00:01")};
    EXPECT_EQ(out, first + third);
    EXPECT_EQ(messages.texts(), QStringList{Messages::withPath(space.path(QStringLiteral("m/乙")),
                                                               QStringLiteral("文件夹不存在"))});
    EXPECT_TRUE(space.exists(QStringLiteral("Data/") + media::FactsCache::fileName()));

    messages.clear();
    EXPECT_EQ(run({QStringLiteral("check"), QStringLiteral("甲")}), 0);
    EXPECT_EQ(out, first);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(run({QStringLiteral("check"), QStringLiteral("丁")}), 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("没有内容!")});
}

// A project of an episode browsers play and one they may not: Ctrl+C stops
// the copy and leaves nothing half written, the next run makes it, and the
// one after that finds nothing to do.
TEST_F(CommandLineTest, ConvertMakesTheMissingWebCopyOnceAndCtrlCStopsItCleanly)
{
    space.writeList({QStringLiteral("甲")});
    addProject(QStringLiteral("甲"));
    const QString site = space.makeFolder(QStringLiteral("site"));
    space.writeSiteSettings(space.path(QStringLiteral("m")), site);
    MediaSample mkv;
    mkv.muxer = "matroska";
    ASSERT_TRUE(mkv.write(space.path(QStringLiteral("m/甲/第1集.mkv"))));
    ASSERT_TRUE(MediaSample().write(space.path(QStringLiteral("m/甲/第2集.mp4"))));
    const QString copy = site + QStringLiteral("/Video/甲/第1集.mkv.mp4");
    const auto filesUnderVideo = [&] {
        return QDir(site + QStringLiteral("/Video/甲")).entryList(QDir::Files | QDir::Hidden);
    };

    const auto convert = [&](CommandLine::PercentOutput percent) {
        out.clear();
        messages.clear();
        CommandLine commandLine(
            QStringLiteral("/nonexistent"), [this](const QString &line) { out.append(line); },
            [this](const QString &line) { err.append(line); });
        commandLine.setPercentOutput(std::move(percent));
        return commandLine.run(
            {QStringLiteral("--workspace"), space.root(), QStringLiteral("convert"), QStringLiteral("甲")});
    };
    QList<int> percents;
    EXPECT_EQ(convert([&percents](int percent) {
                  percents.append(percent);
                  if (percent > 0)
                      ::raise(SIGINT);
              }),
              1);
    EXPECT_EQ(messages.texts().last(), QStringLiteral("转换已停止,已转换 0 集。"));
    EXPECT_TRUE(filesUnderVideo().isEmpty()) << filesUnderVideo().join(u' ').toStdString();
    ASSERT_FALSE(percents.isEmpty());
    EXPECT_EQ(percents.first(), 0);
    EXPECT_EQ(percents.last(), -1);

    EXPECT_EQ(convert({}), 0);
    EXPECT_EQ(out, (QStringList{QStringLiteral("正在检查剧集..."),
                                QStringLiteral("正在转换 甲 - 第1集.mkv (复制)..."),
                                QStringLiteral("转换为网页格式完成,共转换 1 集。")}));
    EXPECT_EQ(filesUnderVideo(), QStringList{QStringLiteral("第1集.mkv.mp4")});
    EXPECT_TRUE(media::isUpToDate(copy, space.path(QStringLiteral("m/甲/第1集.mkv"))));
    EXPECT_TRUE(space.readBytes(QStringLiteral("site/.tessaly-published"))
                    .contains("\nVideo/" + QStringLiteral("甲/第1集.mkv.mp4").toUtf8() + "\n"));

    const QDateTime made = QFileInfo(copy).lastModified();
    EXPECT_EQ(convert({}), 0);
    EXPECT_EQ(messages.texts().last(), QStringLiteral("没有需要转换的剧集!"));
    EXPECT_EQ(out, QStringList{QStringLiteral("正在检查剧集...")});
    EXPECT_EQ(QFileInfo(copy).lastModified(), made);
}

TEST(CommandLineWorkspace, WithoutWorkspaceAnInstalledCopyWorksInTheUsersDataFolder)
{
    TempWorkspace prefix;
    const QString bin = prefix.makeFolder(QStringLiteral("bin"));
    prefix.writeBytes(QStringLiteral("share/applications/tessaly.desktop"), "[Desktop Entry]\n");
    const QString dataHome = prefix.makeFolder(QStringLiteral("home/.local/share"));
    RecordingMessages messages;
    QStringList out;
    CommandLine commandLine(
        bin, [&out](const QString &line) { out.append(line); }, [](const QString &) {});

    {
        const DataHome home(dataHome);
        EXPECT_EQ(commandLine.run({QStringLiteral("list")}), 0);
        EXPECT_TRUE(QDir(dataHome + QStringLiteral("/Tessaly")).exists());
        EXPECT_FALSE(prefix.exists(QStringLiteral("bin/Setting")));
    }

    const EnvironmentValue noHome("HOME", std::nullopt);
    const EnvironmentValue noDataHome("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(commandLine.run({QStringLiteral("add"), QStringLiteral("甲")}), 1);
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("无法确定用户数据文件夹,请用 --workspace 指定工作区")});
}

TEST_F(CommandLineTest, ListCreatesNothingInTheWorkspace)
{
    space.writeList({QStringLiteral("甲"), QStringLiteral("乙")});
    EXPECT_EQ(run({QStringLiteral("list")}), 0);
    EXPECT_EQ(out, QStringList({QStringLiteral("甲"), QStringLiteral("乙")}));
    EXPECT_TRUE(messages.isEmpty()); // no style load
    EXPECT_EQ(QDir(space.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Setting")});
    EXPECT_EQ(QDir(space.path(QStringLiteral("Setting"))).entryList(QDir::Files),
              QStringList{QStringLiteral("List.ini")});
}

TEST_F(CommandLineTest, AWorkspaceFolderThatCannotBeMadeIsSaidWithTheReason)
{
    space.writeBytes(QStringLiteral("file"), "not a folder");
    const QString folder = space.path(QStringLiteral("file/workspace"));
    CommandLine commandLine(
        QStringLiteral("/nonexistent"), [](const QString &) {}, [](const QString &) {});
    EXPECT_EQ(
        commandLine.run({QStringLiteral("--workspace"), folder, QStringLiteral("add"), QStringLiteral("a")}),
        1);
    EXPECT_EQ(messages.texts(), QStringList{folder + QStringLiteral("\r\n") + files::reasonFor(ENOTDIR)});
}

TEST_F(CommandLineTest, ListingAWorkspaceNotMadeYetShowsNoProjectsAndMakesNothing)
{
    const QString fresh = space.path(QStringLiteral("new"));
    CommandLine commandLine(
        QStringLiteral("/nonexistent"), [this](const QString &line) { out.append(line); },
        [this](const QString &line) { err.append(line); });
    EXPECT_EQ(commandLine.run({QStringLiteral("--workspace"), fresh, QStringLiteral("list")}), 0);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(fresh));
}

TEST_F(CommandLineTest, ABusyWorkspaceGetsNoFoldersBeforeTheRefusal)
{
    WorkspaceLock other(space.workspace());
    ASSERT_TRUE(other.acquire());
    EXPECT_EQ(run({QStringLiteral("generate")}), 1);
    EXPECT_EQ(messages.texts(), QStringList{WorkspaceLock::busyText(space.root())});
    EXPECT_EQ(QDir(space.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

PERMISSION_TEST_F(CommandLineTest, AReadOnlyWorkspaceIsListedWithoutTheLockButNotChanged)
{
    SKIP_UNLESS_PERMISSIONS_BIND();
    space.writeList({QStringLiteral("甲")});
    const QByteArray list = space.readBytes(QStringLiteral("Setting/List.ini"));
    const auto allow = [this](QFile::Permissions permissions) {
        return QFile::setPermissions(space.root(), permissions) &&
               QFile::setPermissions(space.path(QStringLiteral("Setting")), permissions);
    };
    ASSERT_TRUE(allow(QFile::ReadOwner | QFile::ExeOwner));
    const int listed = run({QStringLiteral("list")});
    const QStringList listedNames = out;
    const int added = run({QStringLiteral("add"), QStringLiteral("乙")});
    const QString refusal = messages.isEmpty() ? QString() : messages.texts().last();
    allow(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_EQ(listed, 0);
    EXPECT_EQ(listedNames, QStringList{QStringLiteral("甲")});
    EXPECT_EQ(added, 1);
    EXPECT_EQ(refusal, space.path(QStringLiteral(".tessaly.lock")) + QStringLiteral("\r\n") +
                           files::reasonFor(EACCES));
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), list);
}

TEST_F(CommandLineTest, AWorkspaceWhereNoLockCanBeWrittenIsListedButNotChanged)
{
    // No file may grow: the lock cannot be written, whoever runs the test.
    space.writeList({QStringLiteral("甲")});
    const QByteArray list = space.readBytes(QStringLiteral("Setting/List.ini"));
    const int result = inChildWithFileSizeLimit(0, [this] {
        if (run({QStringLiteral("list")}) != 0 || out != QStringList{QStringLiteral("甲")})
            return 1;
        if (run({QStringLiteral("add"), QStringLiteral("乙")}) != 1)
            return 2;
        return messages.texts() == QStringList{space.path(QStringLiteral(".tessaly.lock")) +
                                               QStringLiteral("\r\n") + files::reasonFor(EFBIG)}
                   ? 0
                   : 3;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), list);
    EXPECT_EQ(QDir(space.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Setting")});
}

TEST_F(CommandLineTest, AnUndecodableSettingIniIsSaidAtStartAndEndsGenerate)
{
    space.writeList({QStringLiteral("a")});
    addProject(QStringLiteral("a"));
    space.writeBytes(QStringLiteral("Web/Data/a.html"), "old page");
    space.writeBytes(QStringLiteral("Setting/Setting.ini"), "[Setting]\r\nMovieFile=\xFF\r\n");
    const QString settingIni = space.path(QStringLiteral("Setting/Setting.ini"));

    EXPECT_EQ(run({QStringLiteral("generate")}), 1);
    EXPECT_TRUE(messages.texts().contains(settingIni + QStringLiteral("\r\n无法识别的文字编码")));
    EXPECT_TRUE(
        out.contains(QStringLiteral("无法读取 ") + settingIni + QStringLiteral(": 无法识别的文字编码")));
    EXPECT_EQ(space.readBytes(QStringLiteral("Web/Data/a.html")), "old page");
}

TEST_F(CommandLineTest, AddOnAFullDiskKeepsTheListAndFails)
{
    QStringList names;
    for (int i = 0; i < 20; ++i)
        names.append(QStringLiteral("项目%1").arg(i));
    space.writeList(names);
    run({QStringLiteral("generate")}); // puts the start-up's own files in place
    const QByteArray list = space.readBytes(QStringLiteral("Setting/List.ini"));
    const QString listFile = space.path(QStringLiteral("Setting/List.ini"));
    const int result = inChildWithFileSizeLimit(list.size(), [&] {
        if (run({QStringLiteral("add"), QStringLiteral("新项目")}) != 1)
            return 1;
        return messages.texts().last().startsWith(listFile + QStringLiteral("\r\n")) ? 0 : 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), list);
}

TEST_F(CommandLineTest, GenerateAsksTheWebServerAfterPublishingAndPrintsAMissButStillSucceeds)
{
    space.writeList({QStringLiteral("甲")});
    addProject(QStringLiteral("甲"));
    space.writeBytes(QStringLiteral("m/甲/1.mp4"), "video");
    const QString site = space.makeFolder(QStringLiteral("site"));
    space.writeBytes(QStringLiteral("site/Data/notes.txt"), "mine");
    quint16 freed = 0;
    {
        QTcpServer gone;
        gone.listen(QHostAddress::LocalHost, 0);
        freed = gone.serverPort();
    }
    space.writeSiteSettings(space.path(QStringLiteral("m")), site,
                            QStringLiteral("http://127.0.0.1:%1/").arg(freed), QStringLiteral("True"));
    EXPECT_EQ(run({QStringLiteral("generate")}), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("站点文件夹中有 1 个文件不是本程序发布的,未删除")));
    EXPECT_FALSE(out.join(u'\n').contains(QStringLiteral("notes.txt"))) << "the names go to the log alone";
    EXPECT_TRUE(out.contains(
        QStringLiteral("网页服务器无法提供视频: http://127.0.0.1:%1/movie/甲/1.mp4 (连接被拒绝)").arg(freed)))
        << out.join(u'\n').toStdString();
    EXPECT_EQ(out.last(), QStringLiteral("生成网站成功..."));
}
