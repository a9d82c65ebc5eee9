#include "app/UserState.h"
#include "app/gui/KeyboardAndTips.h"
#include "app/gui/MainWindow.h"
#include "app/gui/ProjectCommandsController.h"
#include "app/gui/WindowStateKeeper.h"
#include "catalogue/gui/DetailsPane.h"
#include "catalogue/gui/NewProjectDialog.h"
#include "platform/gui/BackgroundRun.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"
#include "support/WindowFixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class KeyboardAndMouseTest : public WindowFixture
{
protected:
    KeyboardAndMouseTest()
    {
        writeQuietStyle();
        movieRoot = files.makeFolder(QStringLiteral("Movies"));
        files.writeSiteSettings(movieRoot);
    }

    MainWindow &open(const QStringList &names)
    {
        files.writeList(names);
        return openWindow(Showing::Active);
    }

    QTreeView *projects() const { return window->projectView(); }

    // A drop of one local path from outside the program.
    void dropPath(QWidget *target, const QString &path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPointF at(target->rect().center());
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        ASSERT_TRUE(drop.isAccepted());
    }

    QString movieRoot;
};

} // namespace

TEST_F(KeyboardAndMouseTest, EachCommandKeyPressesItsButtonOnlyWhileTheButtonIsEnabled)
{
    MainWindow &w = open({QStringLiteral("A")});
    for (const CommandShortcut &shortcut : commandShortcuts(w.controls())) {
        if (QAction *item = shortcut.action) {
            const std::string name = item->objectName().toStdString();
            item->disconnect(); // no settings dialog to wait on
            QSignalSpy triggered(item, &QAction::triggered);
            QTest::keySequence(&w, shortcut.keys);
            EXPECT_EQ(triggered.count(), 1) << name;
            EXPECT_TRUE(item->toolTip().endsWith(shortcut.keys.toString() + u')')) << name;
            continue;
        }
        QPushButton *button = shortcut.button;
        ASSERT_NE(button, nullptr);
        const std::string name = button->objectName().toStdString();
        button->disconnect(SIGNAL(clicked(bool))); // no command runs, only the key is seen
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::keySequence(&w, shortcut.keys);
        EXPECT_EQ(clicked.count(), 1) << name;
        button->setEnabled(false);
        QTest::keySequence(&w, shortcut.keys);
        EXPECT_EQ(clicked.count(), 1) << name;
        button->setEnabled(true);
    }
    EXPECT_EQ(buttonNamed(w, "Command4")->toolTip(), QStringLiteral("生成整站内容 (Ctrl+G)"));
    EXPECT_TRUE(buttonNamed(w, "Command2")->toolTip().endsWith(QStringLiteral("(Del)")));
    for (QPushButton *button : w.findChildren<QPushButton *>())
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->objectName().toStdString();
}

TEST_F(KeyboardAndMouseTest, DeleteRemovesTheSelectedProjectOnlyFromTheProjectList)
{
    MainWindow &w = open({QStringLiteral("A"), QStringLiteral("B")});
    w.selectRow(1);
    messages.setNextAnswer(MessageAnswer::No);
    w.detailsPane()->episodeView()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    EXPECT_TRUE(messages.isEmpty());

    projects()->setFocus();
    QTest::keyClick(projects(), Qt::Key_Delete);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.texts().first(), QStringLiteral("要删除选中的项目吗?\r\nB"));
    EXPECT_EQ(rowTexts(*projects()), (QStringList{"A", "B"}));
}

TEST_F(KeyboardAndMouseTest, TheMoveKeysWorkWhateverTheListMenuLastShowed)
{
    MainWindow &w = open({QStringLiteral("A"), QStringLiteral("B")});
    w.selectRow(0);
    // On the first row the menu shows no move upward.
    ASSERT_TRUE(w.findChild<ProjectCommandsController *>()->prepareMenu());
    ASSERT_FALSE(actionNamed(w, "MB1")->isVisible());
    w.selectRow(1);
    QTest::keyClick(&w, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(rowTexts(*projects()), (QStringList{"B", "A"}));
}

TEST_F(KeyboardAndMouseTest, CtrlUpAndDownAndADropMoveTheSelectedProjectAndSaveTheList)
{
    MainWindow &w =
        open({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    w.selectRow(1);
    QTest::keyClick(&w, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(rowTexts(*projects()), (QStringList{"B", "A", "C", "D"}));
    QTest::keyClick(&w, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(rowTexts(*projects()), (QStringList{"A", "C", "B", "D"}));
    EXPECT_EQ(w.selectedProject(), QStringLiteral("B"));

    // Dragged from row 0 and dropped before row 3 (between C and D), as the
    // list hands a drop of its own row to its model; the move comes once
    // the drop is over.
    QAbstractItemModel *model = projects()->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto dropRow = [&](int from, int before) {
        std::unique_ptr<QMimeData> dragged(model->mimeData({model->index(from, 0)}));
        QSignalSpy moved(model, &QAbstractItemModel::rowsMoved);
        ASSERT_TRUE(model->dropMimeData(dragged.get(), Qt::MoveAction, before, 0, {}));
        EXPECT_TRUE(moved.wait(3000));
    };
    w.selectRow(0);
    dropRow(0, 3);
    EXPECT_EQ(rowTexts(*projects()), (QStringList{"C", "B", "A", "D"}));
    EXPECT_EQ(w.selectedProject(), QStringLiteral("A"));
    // Dropped below the last row; the list cannot remove a row itself.
    dropRow(2, -1);
    EXPECT_EQ(rowTexts(*projects()), (QStringList{"C", "B", "D", "A"}));
    EXPECT_FALSE(model->removeRows(0, 1));
    EXPECT_EQ(w.detailsPane()->title(), QStringLiteral("A"));
    EXPECT_EQ(files.readBytes(QStringLiteral("Setting/List.ini")), QByteArray("C\r\nB\r\nD\r\nA\r\n"));
}

TEST_F(KeyboardAndMouseTest, AFolderDroppedOnTheListOpensTheNewProjectDialogOnlyBelowTheMovieRoot)
{
    const QString series = files.makeFolder(QStringLiteral("Movies/Shows/Series A"));
    const QString outside = files.makeFolder(QStringLiteral("Elsewhere"));
    open({QStringLiteral("A")});

    QString name;
    QString folder;
    // The dialog opens once the drop is over.
    dropPath(projects()->viewport(), series + QStringLiteral("/"));
    whenModalDialogShown([&](QDialog &dialog) {
        auto *form = qobject_cast<NewProjectDialog *>(&dialog);
        ASSERT_NE(form, nullptr);
        name = form->name();
        folder = form->episodeFolder();
        dialog.reject();
    });
    QTRY_COMPARE(name, QStringLiteral("Series A"));
    EXPECT_EQ(folder, movieRoot + QStringLiteral("/Shows/Series A"));

    for (const QString &path : {outside, movieRoot, files.path(QStringLiteral("Setting/List.ini"))}) {
        messages.clear();
        dropPath(projects()->viewport(), path);
        QTRY_COMPARE(messages.texts(), QStringList{path + QStringLiteral("\r\n文件夹不在影片文件路径下!")});
    }
    EXPECT_EQ(rowTexts(*projects()), QStringList{QStringLiteral("A")});
}

TEST_F(KeyboardAndMouseTest, AJpegDroppedOnThePreviewBecomesTheCover)
{
    QImage picture(20, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString file = files.path(QStringLiteral("Shot.JPG"));
    ASSERT_TRUE(picture.save(file, "JPG"));
    MainWindow &w = open({QStringLiteral("A")});
    w.selectRow(0);

    dropPath(w.detailsPane()->coverPreview(), file);

    QTRY_VERIFY(files.exists(QStringLiteral("Web/Image/A.jpg")));
    EXPECT_EQ(files.readBytes(QStringLiteral("Web/Image/A.jpg")),
              files.readBytes(QStringLiteral("Shot.JPG")));
    EXPECT_FALSE(w.detailsPane()->coverPreview()->showsDefaultCover());
}

TEST_F(KeyboardAndMouseTest, AltHighlightsTheMenuAndTabFollowsTheWindowsOrder)
{
    MainWindow &w = open({QStringLiteral("A")});
    QMenuBar *bar = w.menuBar();
    QTest::keyClick(&w, Qt::Key_Alt);
    ASSERT_NE(bar->activeAction(), nullptr);
    EXPECT_EQ(bar->activeAction()->text(), QStringLiteral("菜单"));
    QTest::keyClick(bar, Qt::Key_Escape);
    ASSERT_EQ(bar->activeAction(), nullptr);
    // F10 opens the menu at once.
    QTest::keyClick(&w, Qt::Key_F10);
    ASSERT_NE(bar->activeAction(), nullptr);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTest::keyClick(bar, Qt::Key_Escape);

    projects()->setFocus();
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int step = 0; step < 11; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(visited,
              (QStringList{"ListView1", "Command1", "Command2", "Command5", "Command10", "Command11",
                           "Command12", "Command3", "ListView2", "Command8", "Command6", "Command4"}));
}

TEST_F(KeyboardAndMouseTest, ACutOffNameShowsWhollyAsPlainText)
{
    const QString longName = QStringLiteral("<b>") + QString(200, u'长') + QStringLiteral("</b>");
    open({QStringLiteral("A"), longName});
    const auto toolTipAt = [this](int row) {
        QToolTip::hideText();
        const QPoint at = rowRect(*projects(), row).center();
        QHelpEvent help(QEvent::ToolTip, at, projects()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(projects()->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_TRUE(toolTipAt(0).isEmpty());
    const QString shown = toolTipAt(1);
    EXPECT_TRUE(shown.contains(longName.toHtmlEscaped())) << shown.toStdString();
}

TEST_F(KeyboardAndMouseTest, TheWindowComesBackWithItsSizeAndThisWorkspacesProject)
{
    UserState().setLastProject(files.workspace().root(), QString());
    MainWindow &first = open({QStringLiteral("A"), QStringLiteral("B")});
    auto *keeper = new WindowStateKeeper(first, *session, first);
    first.resize(1000, 600);
    first.selectRow(1);
    first.close();
    EXPECT_EQ(UserState().lastProject(files.workspace().root()), QStringLiteral("B"));
    (void)keeper;

    startWindow();
    (new WindowStateKeeper(*window, *session, *window))->restore();
    EXPECT_EQ(window->size(), QSize(1000, 600));
    EXPECT_EQ(window->selectedProject(), QStringLiteral("B"));
    EXPECT_EQ(window->detailsPane()->title(), QStringLiteral("B"));

    // Another workspace has its own project, or none.
    TempWorkspace other;
    other.withFolders();
    other.writeList({QStringLiteral("B")});
    WorkspaceSession otherSession(other.workspace().root());
    ASSERT_TRUE(otherSession.open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse));
    MainWindow elsewhere(otherSession);
    elsewhere.start();
    (new WindowStateKeeper(elsewhere, otherSession, elsewhere))->restore();
    EXPECT_EQ(elsewhere.selectedRow(), -1);
}

TEST_F(KeyboardAndMouseTest, WhileAJobRunsOnlyWhatChangesTheWorkspaceWaitsAndClosingAsksTheJobsQuestion)
{
    const QString series = files.makeFolder(QStringLiteral("Movies/Series A"));
    open({QStringLiteral("A"), QStringLiteral("B")});
    BackgroundRun &job = window->backgroundRun();
    QSemaphore release;
    bool done = false;
    const QString question = QStringLiteral("还在忙,确定要退出吗?");
    ASSERT_TRUE(job.start(
        question, [&release] { release.acquire(); }, [&done] { done = true; }));
    EXPECT_FALSE(job.start(
        question, [] {}, [] {}));

    const auto enabledOnes = [this](const QList<const char *> &names) {
        QStringList enabled;
        for (const char *name : names) {
            QPushButton *button = buttonNamed(*window, name);
            QAction *action = button ? nullptr : actionNamed(*window, name);
            if (button ? button->isEnabled() : action->isEnabled())
                enabled.append(QLatin1String(name));
        }
        return enabled;
    };
    // Buttons, their keys, the menus and the list's move keys.
    const QList<const char *> changing = {
        "Command1",  "Command2",  "Command3",     "Command4",     "Command5",     "Command6", "Command10",
        "Command11", "Command12", "Command1Keys", "Command4Keys", "Command6Keys", "M1",       "M2",
        "M5",        "M6",        "M7",           "M8",           "MB1",          "MB2",      "MB3",
        "MB4",       "MB5",       "MB6",          "MB1Keys",      "MB2Keys",      "MC1"};
    const QList<const char *> looking = {"Command8", "M3", "M4", "MB7"};
    EXPECT_EQ(enabledOnes(changing), QStringList());
    EXPECT_EQ(enabledOnes(looking).size(), looking.size());

    // Choosing a project goes on; nothing can be dropped.
    projects()->setFocus();
    QTest::keyClick(projects(), Qt::Key_End);
    EXPECT_EQ(window->selectedRow(), 1);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(series)});
    for (QWidget *target :
         {projects()->viewport(), static_cast<QWidget *>(window->detailsPane()->coverPreview())}) {
        QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        EXPECT_FALSE(enter.isAccepted());
    }

    messages.setNextAnswer(MessageAnswer::No);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(messages.texts(), QStringList{question});
    EXPECT_EQ(messages.last().icon, MessageIcon::Question);

    release.release();
    QTRY_VERIFY(!job.isRunning());
    EXPECT_TRUE(done);
    EXPECT_EQ(enabledOnes(changing).size(), changing.size());
    QDragEnterEvent enter(projects()->viewport()->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(projects()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
}
