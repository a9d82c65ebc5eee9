#include "app/gui/MainWindow.h"

#include "app/gui/ProgramIcon.h"
#include "app/gui/ProjectCommandsController.h"
#include "catalogue/gui/DetailsPane.h"
#include "catalogue/gui/EpisodeChecks.h"
#include "support/RecordingDesktop.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"
#include "support/WindowFixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QTreeView>
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

class MainWindowTest : public WindowFixture
{
protected:
    void SetUp() override { writeQuietStyle(); }

    MainWindow &open(const QStringList &names = {})
    {
        if (!names.isEmpty())
            ws.writeList(names);
        return openWindow(Showing::Exposed);
    }

    QTreeView *projects() const { return window->projectView(); }
    QTreeView *episodes() const { return window->detailsPane()->episodeView(); }
    // The caption as a reader of the screen gets it, shortcut marks resolved.
    QString caption() const
    {
        return QAccessible::queryAccessibleInterface(window->detailsPane())->text(QAccessible::Name);
    }
    QString folderField() const { return window->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(); }

    QStringList rowTexts(QAbstractItemView *view) const { return tessaly::testing::rowTexts(*view); }

    void clickRow(int row)
    {
        QTest::mouseClick(projects()->viewport(), Qt::LeftButton, {},
                          tessaly::testing::rowRect(*projects(), row).center());
    }

    void trigger(const char *name) { actionNamed(*window, name)->trigger(); }

    QByteArray listBytes() const { return ws.readBytes(QStringLiteral("Setting/List.ini")); }

    void writeEpisodeFolder(const QString &project, const QStringList &files)
    {
        const QString folder = ws.makeFolder(QStringLiteral("movies/") + project);
        for (const QString &file : files)
            ws.writeBytes(QStringLiteral("movies/%1/%2").arg(project, file), "video");
        ws.writeText(QStringLiteral("Setting/%1.ini").arg(project),
                     QStringLiteral("[Setting]\r\nFile=") + folder);
    }

    TempWorkspace &ws = files;
};

} // namespace

TEST_F(MainWindowTest, HasEveryControlWithItsCaption)
{
    MainWindow &w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tessaly"));
    const QList<std::pair<const char *, QString>> buttons = {
        {"Command1", QStringLiteral("添加")},
        {"Command2", QStringLiteral("删除")},
        {"Command3", QStringLiteral("选择")},
        {"Command4", QStringLiteral("生成整站内容")},
        {"Command5", QStringLiteral("选取封面")},
        {"Command6", QStringLiteral("更新本集内容")},
        {"Command8", QStringLiteral("打开影片站点链接")},
        {"Command10", QStringLiteral("查找封面 - 站点1")},
        {"Command11", QStringLiteral("查找封面 - 站点2")},
        {"Command12", QStringLiteral("从视频截取封面")},
        {"Command13", QStringLiteral("转换为网页格式")},
    };
    for (const auto &[name, text] : buttons) {
        ASSERT_NE(buttonNamed(w, name), nullptr) << name;
        EXPECT_EQ(buttonNamed(w, name)->text(), text) << name;
        EXPECT_FALSE(buttonNamed(w, name)->autoDefault()) << name;
    }
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("文件："));
    EXPECT_NE(w.findChild<QLabel *>(QStringLiteral("Picture1")), nullptr);
    EXPECT_EQ(caption(), QStringLiteral("内容"));
    EXPECT_EQ(projects()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("项目"));
    EXPECT_EQ(episodes()->objectName(), QStringLiteral("ListView2"));
    EXPECT_EQ(episodes()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("项目"));
    EXPECT_FALSE(projects()->isHeaderHidden());
    EXPECT_EQ(projects()->editTriggers(), QAbstractItemView::NoEditTriggers);

    QMenu *menu = w.findChild<QMenu *>(QStringLiteral("M"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("菜单"));
    QStringList menuItems;
    for (QAction *action : menu->actions())
        menuItems.append(action->objectName() + QLatin1Char('=') + action->text());
    EXPECT_EQ(menuItems, (QStringList{"M1=设置", "M2=编辑页面源码", "M3=打开影片文件夹", "M4=打开站点文件夹",
                                      "M5=清空缓存文件", "M6=清空日志", "M7=布局设计",
                                      "M8=为无封面项目截取封面", "M9=转换所有无法播放的剧集"}));

    QStringList contextItems;
    for (QAction *action : w.projectMenu()->actions())
        contextItems.append(action->objectName() + QLatin1Char('=') + action->text());
    EXPECT_EQ(contextItems, (QStringList{"MB5=新建", "MB8=重命名", "MB6=删除", "MB3=移动到第一项", "MB1=上移",
                                         "MB2=下移", "MB4=移动到最后项", "MB7=打开文件路径"}));
    EXPECT_FALSE(w.menuBar()->actions().contains(w.projectMenu()->menuAction()));
}

TEST_F(MainWindowTest, OpensWithTheDefaultClientSize)
{
    MainWindow &w = open();
    EXPECT_EQ(w.centralWidget()->size(), QSize(1234, 697));
}

TEST_F(MainWindowTest, StartsWithTheListLoadedAndNothingChosen)
{
    MainWindow &w = open({QStringLiteral("A"), QStringLiteral("B")});
    EXPECT_EQ(rowTexts(projects()), (QStringList{"A", "B"}));
    EXPECT_EQ(w.selectedRow(), -1);
    EXPECT_FALSE(w.chosenProject().has_value());
    EXPECT_EQ(caption(), QStringLiteral("内容"));
    EXPECT_TRUE(w.detailsPane()->coverPreview()->showsDefaultCover());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, AClickShowsTheProjectsDetails)
{
    writeEpisodeFolder(QStringLiteral("B"), {QStringLiteral("02.mp4"), QStringLiteral("01.mp4")});
    ws.makeFolder(QStringLiteral("movies/B/sub"));
    MainWindow &w = open({QStringLiteral("A"), QStringLiteral("B")});

    clickRow(1);

    EXPECT_EQ(caption(), QStringLiteral("B"));
    EXPECT_EQ(folderField(), ws.path(QStringLiteral("movies/B")));
    EXPECT_EQ(rowTexts(episodes()), (QStringList{"01.mp4", "02.mp4"}));
    EXPECT_EQ(w.chosenProject(), std::optional<QString>(QStringLiteral("B")));

    clickRow(0);
    EXPECT_EQ(caption(), QStringLiteral("A"));
    EXPECT_TRUE(folderField().isEmpty());
    EXPECT_EQ(episodes()->model()->rowCount(), 0);
}

TEST_F(MainWindowTest, TheCaptionShowsAnAmpersandAsItIs)
{
    open({QStringLiteral("Tom & Jerry"), QStringLiteral("&&")});
    clickRow(0);
    EXPECT_EQ(caption(), QStringLiteral("Tom & Jerry"));
    clickRow(1);
    EXPECT_EQ(caption(), QStringLiteral("&&"));
}

TEST_F(MainWindowTest, TheDetailsFollowTheKeyboard)
{
    writeEpisodeFolder(QStringLiteral("B"), {QStringLiteral("e1.mkv")});
    open({QStringLiteral("A"), QStringLiteral("B")});
    clickRow(0);
    projects()->setFocus();

    QTest::keyClick(projects(), Qt::Key_Down);

    EXPECT_EQ(caption(), QStringLiteral("B"));
    EXPECT_EQ(rowTexts(episodes()), QStringList{"e1.mkv"});
}

TEST_F(MainWindowTest, TheCoverPreviewShowsTheCoverUndistorted)
{
    QImage wide(400, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    wide.save(ws.path(QStringLiteral("Web/Image/A.jpg")), "JPG");
    ws.writeBytes(QStringLiteral("Web/Image/Broken.jpg"), "not a picture");
    MainWindow &w = open({QStringLiteral("A"), QStringLiteral("Broken")});
    CoverPreview *preview = w.detailsPane()->coverPreview();

    clickRow(0);
    EXPECT_FALSE(preview->showsDefaultCover());
    const QSize shown = preview->pixmap().size();
    EXPECT_LE(shown.width(), preview->contentsRect().width());
    EXPECT_NEAR(double(shown.width()) / shown.height(), 4.0, 0.1);

    clickRow(1);
    EXPECT_TRUE(preview->showsDefaultCover());
}

TEST_F(MainWindowTest, TheGuardAsksForAChoiceOnlyWhenThereAreProjects)
{
    {
        MainWindow &w = open();
        EXPECT_FALSE(w.guardChosenProject());
        EXPECT_TRUE(messages.isEmpty());
    }
    MainWindow &w = open({QStringLiteral("A"), QStringLiteral("内容")});
    EXPECT_FALSE(w.guardChosenProject());
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("请先选择要操作的项目!"));
    EXPECT_EQ(messages.last().title, QStringLiteral("提示"));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);

    // A project literally named "内容" is chosen like any other.
    messages.clear();
    clickRow(1);
    EXPECT_EQ(caption(), QStringLiteral("内容"));
    EXPECT_TRUE(w.guardChosenProject());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, MoveUpAndDownKeepTheMovedProjectSelected)
{
    MainWindow &w = open({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    clickRow(1);

    trigger("MB1");
    EXPECT_EQ(rowTexts(projects()), (QStringList{"B", "A", "C"}));
    EXPECT_EQ(w.selectedRow(), 0);
    EXPECT_EQ(caption(), QStringLiteral("B"));
    EXPECT_EQ(listBytes(), QByteArray("B\r\nA\r\nC\r\n"));

    trigger("MB2");
    trigger("MB2");
    EXPECT_EQ(rowTexts(projects()), (QStringList{"A", "C", "B"}));
    EXPECT_EQ(w.selectedProject(), QStringLiteral("B"));
    EXPECT_EQ(listBytes(), QByteArray("A\r\nC\r\nB\r\n"));
}

TEST_F(MainWindowTest, MoveToFirstAndLastSelectTheMovedRow)
{
    MainWindow &w = open({"A", "B", "C", "D", "E"});
    clickRow(3);
    trigger("MB3");
    EXPECT_EQ(rowTexts(projects()), (QStringList{"D", "A", "B", "C", "E"}));
    EXPECT_EQ(w.selectedRow(), 0);

    clickRow(1);
    trigger("MB4");
    EXPECT_EQ(rowTexts(projects()), (QStringList{"D", "B", "C", "E", "A"}));
    EXPECT_EQ(w.selectedRow(), 4);
    EXPECT_EQ(caption(), QStringLiteral("A"));
    EXPECT_EQ(listBytes(), QByteArray("D\r\nB\r\nC\r\nE\r\nA\r\n"));
}

TEST_F(MainWindowTest, TheContextMenuOffersWhatTheSelectionAllows)
{
    MainWindow &w = open({"A", "B", "C"});
    auto *commands = w.findChild<ProjectCommandsController *>();
    ASSERT_NE(commands, nullptr);
    auto visible = [&] {
        QStringList names;
        for (QAction *action : w.projectMenu()->actions())
            if (action->isVisible())
                names.append(action->objectName());
        return names;
    };

    EXPECT_FALSE(commands->prepareMenu());

    clickRow(0);
    QTreeView *view = projects();
    const QPoint at = tessaly::testing::rowRect(*view, 0).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &event);
    EXPECT_TRUE(w.projectMenu()->isVisible());
    EXPECT_EQ(visible(), (QStringList{"MB5", "MB8", "MB6", "MB2", "MB4", "MB7"}));
    w.projectMenu()->hide();

    clickRow(2);
    EXPECT_TRUE(commands->prepareMenu());
    EXPECT_EQ(visible(), (QStringList{"MB5", "MB8", "MB6", "MB3", "MB1", "MB7"}));
}

TEST_F(MainWindowTest, RenameKeepsTheRowSelectedAndShowsTheNewNameAtOnce)
{
    MainWindow &w = open({"A", "B", "C"});
    ws.writeBytes(QStringLiteral("Web/Image/B.jpg"), "cover");
    clickRow(1);
    QSignalSpy changed(projects()->model(), &QAbstractItemModel::dataChanged);

    tessaly::testing::whenModalDialogShown([](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("重命名"));
        auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("Text1"));
        EXPECT_EQ(name->selectedText(), QStringLiteral("B"));
        tessaly::testing::typeText(*name, QStringLiteral("Bee"));
        dialog.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    });
    trigger("MB8");

    EXPECT_EQ(rowTexts(projects()), (QStringList{"A", "Bee", "C"}));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.first().at(0).toModelIndex().row(), 1);
    EXPECT_EQ(w.selectedRow(), 1);
    EXPECT_EQ(caption(), QStringLiteral("Bee"));
    EXPECT_EQ(listBytes(), QByteArray("A\r\nBee\r\nC\r\n"));
    EXPECT_EQ(ws.readBytes(QStringLiteral("Web/Image/Bee.jpg")), "cover");
}

TEST_F(MainWindowTest, TheContextMenuOfAnEmptyListOffersOnlyNewAndOfOneProjectNothing)
{
    {
        MainWindow &w = open();
        auto *commands = w.findChild<ProjectCommandsController *>();
        EXPECT_TRUE(commands->prepareMenu());
        QStringList shown;
        for (QAction *action : w.projectMenu()->actions())
            if (action->isVisible())
                shown.append(action->objectName());
        EXPECT_EQ(shown, QStringList{"MB5"});
    }
    MainWindow &w = open({"Only"});
    clickRow(0);
    EXPECT_FALSE(w.findChild<ProjectCommandsController *>()->prepareMenu());
}

TEST_F(MainWindowTest, DeleteAskedNoChangesNothing)
{
    ws.writeBytes(QStringLiteral("Web/Image/A.jpg"), "cover");
    MainWindow &w = open({"A", "B"});
    clickRow(0);
    messages.setNextAnswer(MessageAnswer::No);

    QTest::mouseClick(buttonNamed(w, "Command2"), Qt::LeftButton);

    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("要删除选中的项目吗?\r\nA"));
    EXPECT_EQ(messages.last().icon, MessageIcon::Question);
    EXPECT_EQ(messages.last().buttons, MessageButtons::YesNo);
    EXPECT_EQ(rowTexts(projects()), (QStringList{"A", "B"}));
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/Image/A.jpg")));
    EXPECT_EQ(caption(), QStringLiteral("A"));
}

TEST_F(MainWindowTest, DeleteRemovesTheFilesAndTheRowAndLeavesNothingChosen)
{
    writeEpisodeFolder(QStringLiteral("A"), {QStringLiteral("1.mp4")});
    ws.writeBytes(QStringLiteral("Web/Image/A.jpg"), "cover");
    ws.writeBytes(QStringLiteral("Web/Data/A.html"), "page");
    ws.writeBytes(QStringLiteral("Web/Image/B.jpg"), "other cover");
    MainWindow &w = open({"A", "B"});
    clickRow(0);

    trigger("MB6");

    EXPECT_EQ(messages.texts(),
              (QStringList{QStringLiteral("要删除选中的项目吗?\r\nA"), QStringLiteral("删除成功!")}));
    EXPECT_EQ(messages.last().icon, MessageIcon::Information);
    EXPECT_FALSE(ws.exists(QStringLiteral("Web/Image/A.jpg")));
    EXPECT_FALSE(ws.exists(QStringLiteral("Web/Data/A.html")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Setting/A.ini")));
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/Image/B.jpg")));
    EXPECT_EQ(rowTexts(projects()), QStringList{"B"});
    EXPECT_EQ(listBytes(), QByteArray("B\r\n"));
    EXPECT_EQ(w.selectedRow(), -1);
    EXPECT_EQ(caption(), QStringLiteral("内容"));
    EXPECT_EQ(episodes()->model()->rowCount(), 0);

    // With nothing chosen, the guarded commands ask for a choice.
    messages.clear();
    EXPECT_FALSE(w.guardChosenProject());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("请先选择要操作的项目!")});
}

TEST_F(MainWindowTest, DeletingTheLastProjectSavesAnEmptyList)
{
    MainWindow &w = open({"A"});
    clickRow(0);
    QTest::mouseClick(buttonNamed(w, "Command2"), Qt::LeftButton);
    EXPECT_EQ(projects()->model()->rowCount(), 0);
    EXPECT_EQ(listBytes(), QByteArray("\r\n"));
}

TEST_F(MainWindowTest, DeleteWithNothingSelectedDoesNothing)
{
    MainWindow &w = open({"A"});
    QTest::mouseClick(buttonNamed(w, "Command2"), Qt::LeftButton);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(projects()->model()->rowCount(), 1);
}

TEST_F(MainWindowTest, DeletingAnUnusableNameRemovesOnlyTheRow)
{
    ws.writeBytes(QStringLiteral("Web/index.html"), "index");
    MainWindow &w = open({"../index", "B"});
    clickRow(0);
    EXPECT_EQ(caption(), QStringLiteral("../index"));

    trigger("MB6");

    EXPECT_EQ(messages.texts(),
              (QStringList{QStringLiteral("要删除选中的项目吗?\r\n../index"), QStringLiteral("删除成功!")}));
    EXPECT_TRUE(ws.exists(QStringLiteral("Web/index.html")));
    EXPECT_EQ(rowTexts(projects()), QStringList{"B"});
    EXPECT_EQ(listBytes(), QByteArray("B\r\n"));
    EXPECT_EQ(w.selectedRow(), -1);
}

TEST_F(MainWindowTest, AnUnreadableListIsSaidAtStartAndNeverOverwritten)
{
    const QByteArray unreadable("A\r\n\xFF\xFF\r\nB\r\n");
    ws.writeBytes(QStringLiteral("Setting/List.ini"), unreadable);
    startWindow();

    const QString listFile = ws.workspace().listFile();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.messages().first().text,
              listFile + QStringLiteral("\r\n无法读取项目列表,列表将不会被保存!"));
    EXPECT_EQ(messages.messages().first().icon, MessageIcon::Error);

    window->show();
    messages.clear();
    window->selectRow(0);
    trigger("MB2");
    EXPECT_TRUE(messages.texts().contains(ProjectList::unreadableText(listFile)));
    EXPECT_EQ(listBytes(), unreadable);
}

TEST_F(MainWindowTest, AnUndecodableTemplateIsSaidAtStart)
{
    ws.writeBytes(QStringLiteral("Style/PageStyle.html"), "<p>\xFF</p>");
    startWindow();
    EXPECT_EQ(messages.texts(), QStringList{ws.path(QStringLiteral("Style/PageStyle.html")) +
                                            QStringLiteral("\r\n无法识别的文字编码")});
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
}

TEST_F(MainWindowTest, OpenFilePathShowsTheEpisodeFolderOrSaysItIsGone)
{
    writeEpisodeFolder(QStringLiteral("A"), {});
    ws.writeText(QStringLiteral("Setting/B.ini"), QStringLiteral("[Setting]\r\nFile=/no/such/folder"));
    open({"A", "B", "C"});

    clickRow(0);
    trigger("MB7");
    EXPECT_EQ(desktop.folders(), QStringList{ws.path(QStringLiteral("movies/A"))});

    clickRow(1);
    trigger("MB7");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("/no/such/folder\r\n文件夹不存在!")});

    messages.clear();
    clickRow(2);
    trigger("MB7");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(desktop.folders().size(), 1);
}

TEST_F(MainWindowTest, AProjectAddedAtTheTopIsSelectedSavedAndShown)
{
    writeEpisodeFolder(QStringLiteral("New"), {QStringLiteral("x.mp4")});
    MainWindow &w = open({"A"});
    clickRow(0);

    ASSERT_TRUE(session->add(NewProject{QStringLiteral("New"), {}}).done());
    w.showProjectAddedAtTop();

    EXPECT_EQ(rowTexts(projects()), (QStringList{"New", "A"}));
    EXPECT_EQ(w.selectedRow(), 0);
    EXPECT_EQ(caption(), QStringLiteral("New"));
    EXPECT_EQ(rowTexts(episodes()), QStringList{"x.mp4"});
    EXPECT_EQ(listBytes(), QByteArray("New\r\nA\r\n"));
}

TEST_F(MainWindowTest, ClickingTheShownProjectAgainReadsItsFolderAgain)
{
    writeEpisodeFolder(QStringLiteral("A"), {QStringLiteral("1.mp4")});
    open({"A", "B"});
    clickRow(0);
    ws.writeBytes(QStringLiteral("movies/A/2.mp4"), "video");

    clickRow(0);

    EXPECT_EQ(rowTexts(episodes()), (QStringList{"1.mp4", "2.mp4"}));
}

TEST_F(MainWindowTest, SavedSettingsShowTheChosenProjectAnewInTheirOrder)
{
    writeEpisodeFolder(QStringLiteral("A"), {QStringLiteral("第2集.mp4"), QStringLiteral("第10集.mp4")});
    writeEpisodeFolder(QStringLiteral("B"), {});
    ws.writeText(QStringLiteral("Setting/Setting.ini"), QStringLiteral("[Setting]\r\nCheckVideos=False"));
    open({"A", "B"});
    clickRow(0);
    ASSERT_EQ(rowTexts(episodes()), (QStringList{"第2集.mp4", "第10集.mp4"}));

    tessaly::testing::whenModalDialogShown([](QDialog &dialog) {
        dialog.findChild<QCheckBox *>(QStringLiteral("Check2"))->setChecked(false);
        dialog.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    });
    trigger("M1");

    EXPECT_EQ(rowTexts(episodes()), (QStringList{"第10集.mp4", "第2集.mp4"}));
}

TEST_F(MainWindowTest, TheEpisodesAreCheckedInTheBackgroundUnlessTheSettingIsOff)
{
    writeEpisodeFolder(QStringLiteral("A"), {QStringLiteral("1.mp4")});
    writeEpisodeFolder(QStringLiteral("B"), {QStringLiteral("1.mp4")});
    ws.writeText(QStringLiteral("Setting/Setting.ini"), QStringLiteral("[Setting]\r\nCheckVideos=False"));
    MainWindow &w = open({"A", "B"});
    auto *checks = w.findChild<EpisodeChecks *>();
    ASSERT_NE(checks, nullptr);
    QSignalSpy finished(checks, &EpisodeChecks::finished);

    clickRow(0);
    ws.writeText(QStringLiteral("Setting/Setting.ini"), QStringLiteral("[Setting]\r\nCheckVideos=True"));
    clickRow(1);
    // Checked in turn: had A been checked, its end would have come first.
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(finished.first().at(0).toString(), QStringLiteral("B"));

    // The mark's text and reason are the row's tool tip, as plain text.
    const QPoint at = tessaly::testing::rowRect(*episodes(), 0).center();
    QHelpEvent help(QEvent::ToolTip, at, episodes()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(episodes()->viewport(), &help);
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("无法识别的视频文件 (无法读取)")))
        << QToolTip::text().toStdString();
}

TEST_F(MainWindowTest, ReloadingTheCoverPreviewShowsANewCoverOfTheChosenProject)
{
    MainWindow &w = open({"A"});
    clickRow(0);
    CoverPreview *preview = w.detailsPane()->coverPreview();
    ASSERT_TRUE(preview->showsDefaultCover());

    QImage cover(185, 250, QImage::Format_RGB32);
    cover.fill(Qt::blue);
    cover.save(ws.path(QStringLiteral("Web/Image/A.jpg")), "JPG");
    w.reloadCoverPreview();

    EXPECT_FALSE(preview->showsDefaultCover());
    EXPECT_EQ(preview->picture().size(), QSize(185, 250));
}

TEST(ProgramIcon, HoldsTheRenderingsFromMenuSizeToLargeTile)
{
    const QList<QSize> sizes = programIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
}
