#include "app/gui/FirstStepsGuide.h"
#include "app/gui/MainWindow.h"
#include "catalogue/gui/DetailsPane.h"
#include "files/Reasons.h"
#include "support/DataHome.h"
#include "support/Waiting.h"
#include "support/WidgetDriving.h"
#include "support/WindowFixture.h"
#include "workspace/WorkspaceLock.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <cerrno>
#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::testing::buttonNamed;
using tessaly::testing::DataHome;
using tessaly::testing::WindowFixture;

namespace {

class FirstStartTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        writeQuietStyle();
        seams.exampleMaker = QStringLiteral(TESSALY_EXAMPLE_MAKER);
        // Records where the program would start anew, and whether this
        // window had given up its workspace by then.
        seams.restart = [this](const QString &workspace) -> std::optional<QString> {
            WorkspaceLock probe(files.workspace());
            restartedWithLockFree = probe.acquire().ok();
            restartedOn.append(workspace);
            if (!restartWorks)
                return QStringLiteral("无法启动");
            return std::nullopt;
        };
    }

    QString exampleWorkspace() const { return dataHome.path() + QStringLiteral("/Tessaly 示例/workspace"); }
    QPushButton *openExampleButton() const { return buttonNamed(*window, "CommandExample"); }
    bool guideShown() const { return window->findChild<FirstStepsGuide *>()->isVisible(); }

    QTemporaryDir dataHome;
    DataHome dataHomeVariable{dataHome.path()};
    QStringList restartedOn;
    bool restartedWithLockFree = false;
    bool restartWorks = true;
};

} // namespace

TEST_F(FirstStartTest, TheGuideStandsInForTheDetailsWhileTheListIsEmpty)
{
    openWindow(Showing::Exposed);
    ASSERT_TRUE(guideShown());
    EXPECT_FALSE(window->detailsPane()->isVisible());
    QStringList lines;
    for (const QLabel *label : window->findChild<FirstStepsGuide *>()->findChildren<QLabel *>())
        lines.append(label->text());
    EXPECT_EQ(lines, (QStringList{QStringLiteral("1. 菜单 → 设置:填写影片文件路径和站点路径"),
                                  QStringLiteral("2. 添加:新建项目并选择剧集文件夹"),
                                  QStringLiteral("3. 生成整站内容")}));
    EXPECT_EQ(openExampleButton()->text(), QStringLiteral("打开示例"));

    const QString folder = files.makeFolder(QStringLiteral("movies/甲"));
    ASSERT_TRUE(session->add({QStringLiteral("甲"), folder}).done());
    EXPECT_FALSE(guideShown());
    EXPECT_TRUE(window->detailsPane()->isVisible());
    session->remove(0);
    EXPECT_TRUE(guideShown());
}

TEST_F(FirstStartTest, OpenExampleMakesTheExampleAndStartsTheProgramAnewOnIt)
{
    openWindow(Showing::Exposed);
    openExampleButton()->click();
    EXPECT_FALSE(openExampleButton()->isEnabled());
    ASSERT_TRUE(tessaly::testing::waitUntil([this] { return !restartedOn.isEmpty() || !messages.isEmpty(); },
                                            180000));
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(restartedOn, QStringList{exampleWorkspace()});
    EXPECT_TRUE(restartedWithLockFree);
    EXPECT_TRUE(QFileInfo(exampleWorkspace() + QStringLiteral("/Setting/List.ini")).isFile());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FirstStartTest, AnExampleAlreadyThereIsOpenedAsItIs)
{
    ASSERT_TRUE(QDir().mkpath(exampleWorkspace()));
    openWindow(Showing::Exposed);
    openExampleButton()->click();
    EXPECT_EQ(restartedOn, QStringList{exampleWorkspace()});
    EXPECT_EQ(QDir(exampleWorkspace()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FirstStartTest, ARestartThatFailsIsSaidAndTheWindowKeepsItsWorkspace)
{
    ASSERT_TRUE(QDir().mkpath(exampleWorkspace()));
    restartWorks = false;
    openWindow(Showing::Exposed);
    openExampleButton()->click();
    EXPECT_EQ(messages.texts(), QStringList{exampleWorkspace() + QStringLiteral("\r\n无法启动")});
    EXPECT_TRUE(window->isVisible());
    WorkspaceLock other(files.workspace());
    EXPECT_FALSE(other.acquire());
}

TEST_F(FirstStartTest, AMissingExampleMakerIsSaidWithItsPath)
{
    seams.exampleMaker = files.path(QStringLiteral("no-maker"));
    openWindow(Showing::Exposed);
    openExampleButton()->click();
    ASSERT_TRUE(tessaly::testing::waitUntil([this] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages.texts(),
              QStringList{seams.exampleMaker + QStringLiteral("\r\n") + files::reasonFor(ENOENT)});
    EXPECT_TRUE(restartedOn.isEmpty());
    EXPECT_TRUE(openExampleButton()->isEnabled());
}

TEST_F(FirstStartTest, TheChoosersAndTheSiteLinkAskForTheirSettingsFirst)
{
    files.writeList({QStringLiteral("甲")});
    openWindow(Showing::Exposed);
    tessaly::testing::selectRow(*window->projectView(), 0);
    buttonNamed(*window, "Command3")->click();
    const QString askForMovieRoot = QStringLiteral("请先在设置中填写影片文件路径!");
    EXPECT_EQ(messages.texts(), QStringList{askForMovieRoot});

    messages.clear();
    bool chooserOpened = false;
    tessaly::testing::whenModalDialogShown([&](QDialog &dialog) {
        tessaly::testing::whenModalDialogShown([&](QDialog &chooser) {
            chooserOpened = true;
            chooser.reject();
        });
        dialog.findChild<QPushButton *>(QStringLiteral("Command3"))->click();
        dialog.reject();
    });
    buttonNamed(*window, "Command1")->click();
    EXPECT_FALSE(chooserOpened);
    EXPECT_EQ(messages.texts(), QStringList{askForMovieRoot});
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
}
