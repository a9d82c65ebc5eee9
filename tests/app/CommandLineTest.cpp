#include "app/CommandLine.h"

#include "app/WorkspaceLock.h"
#include "support/FullDisk.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <QDir>
#include <gtest/gtest.h>

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
    EXPECT_TRUE(messages.texts().contains(QStringLiteral("布局设计文件不存在")));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("生成网站成功!"));
    EXPECT_TRUE(space.exists(QStringLiteral("Style/PageStyle.html")));
    EXPECT_TRUE(space.readBytes(QStringLiteral("Web/Data/甲.html")).contains("<video id=\"video1\""));
    EXPECT_EQ(QDir(space.path(QStringLiteral("Log"))).entryList(QDir::Files).size(), 1);
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

TEST_F(CommandLineTest, ABusyWorkspaceIsRefused)
{
    space.withFolders();
    space.writeList({QStringLiteral("a")});
    WorkspaceLock other(space.workspace());
    ASSERT_TRUE(other.acquire());
    EXPECT_EQ(run({QStringLiteral("list")}), 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("工作区正在被另一个Tessaly使用!")});
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
    EXPECT_TRUE(messages.texts().contains(QStringLiteral("无法使用的项目名称: ../Setting/x")));
    EXPECT_EQ(space.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("b\r\n"));
    EXPECT_TRUE(space.exists(QStringLiteral("Setting/x.html")));
}

TEST_F(CommandLineTest, AddOnAFullDiskKeepsTheListAndFails)
{
    QStringList names;
    for (int i = 0; i < 20; ++i)
        names.append(QStringLiteral("项目%1").arg(i));
    space.writeList(names);
    ASSERT_EQ(run({QStringLiteral("list")}), 0); // the start-up's own files are in place
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
