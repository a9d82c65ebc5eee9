#include "app/CommandLine.h"

#include "app/WorkspaceLock.h"
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
