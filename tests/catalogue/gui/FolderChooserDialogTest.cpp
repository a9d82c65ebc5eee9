#include "catalogue/gui/FolderChooserDialog.h"

#include "catalogue/gui/FolderListView.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class FolderChooserDialogTest : public ::testing::Test
{
protected:
    FolderChooserDialogTest()
    {
        files.withFolders();
        root = files.makeFolder(QStringLiteral("Movies"));
        files.makeFolder(QStringLiteral("Movies/Series/Season 1"));
        files.makeFolder(QStringLiteral("Movies/Series/Season 2"));
        files.makeFolder(QStringLiteral("Movies/Film"));
    }

    void open()
    {
        dialog = std::make_unique<FolderChooserDialog>(files.workspace());
        EXPECT_TRUE(showAndExpose(*dialog));
        folders = dialog->folderList();
    }
    void press(const char *button)
    {
        QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    }
    QAction *menuItem(const char *name) const { return folders->contextMenu()->findChild<QAction *>(name); }

    TempWorkspace files;
    RecordingMessages messages;
    QString root;
    std::unique_ptr<FolderChooserDialog> dialog;
    FolderListView *folders = nullptr;
};

} // namespace

TEST_F(FolderChooserDialogTest, WithoutASettingsFileTheListIsEmptyAndOnlyBackUpIsOffered)
{
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("Form7"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("选择"));
    EXPECT_EQ(folders->model()->rowCount(), 0);

    requestContextMenu(*folders);
    EXPECT_TRUE(folders->contextMenu()->isVisible());
    EXPECT_FALSE(menuItem("M1")->isVisible());
    EXPECT_TRUE(menuItem("M2")->isVisible());
    menuItem("M2")->trigger();
    EXPECT_EQ(messages.texts(), QStringList({QStringLiteral("已是根目录!")}));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);

    press("Command2");
    EXPECT_TRUE(dialog->isVisible()) << "OK on an empty list does nothing";
}

TEST_F(FolderChooserDialogTest, ChoosingBelowTheRootGivesTheNameAndTheJoinedPath)
{
    files.writeSiteSettings(root + QStringLiteral("/"));
    open();
    EXPECT_EQ(rowTexts(*folders), QStringList({QStringLiteral("Film"), QStringLiteral("Series")}));

    clickRow(*folders, rowWithText(*folders, QStringLiteral("Series")));
    requestContextMenu(*folders, rowWithText(*folders, QStringLiteral("Series")));
    ASSERT_TRUE(menuItem("M1")->isVisible());
    menuItem("M1")->trigger();
    EXPECT_EQ(rowTexts(*folders), QStringList({QStringLiteral("Season 1"), QStringLiteral("Season 2")}));

    clickRow(*folders, rowWithText(*folders, QStringLiteral("Season 1")));
    press("Command2");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->chosenName(), QStringLiteral("Season 1"));
    EXPECT_EQ(dialog->chosenPath(), root + QStringLiteral("/Series/Season 1"));
}

TEST_F(FolderChooserDialogTest, ADoubleClickChoosesTheFolderWithoutGoingDown)
{
    files.writeSiteSettings(root);
    open();
    doubleClickRow(*folders, rowWithText(*folders, QStringLiteral("Series")));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->chosenPath(), root + QStringLiteral("/Series"));
}

TEST_F(FolderChooserDialogTest, TheMenuIsOfferedWithoutASelectionButOpenNeedsOne)
{
    files.writeSiteSettings(root);
    open();
    requestContextMenu(*folders);
    EXPECT_TRUE(folders->contextMenu()->isVisible());
    EXPECT_TRUE(menuItem("M1")->isVisible());
    menuItem("M1")->trigger();
    EXPECT_EQ(folders->navigation().subPath(), QString());

    press("Command2");
    EXPECT_TRUE(dialog->isVisible()) << "OK without a selected row does nothing";
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FolderChooserDialogTest, AVanishedFolderIsReportedAndTheChooserStaysUsable)
{
    files.writeSiteSettings(root);
    open();
    clickRow(*folders, rowWithText(*folders, QStringLiteral("Film")));
    QDir(root + QStringLiteral("/Film")).removeRecursively();

    folders->openSelectedFolder();
    press("Command2");
    const QString text = root + QStringLiteral("/Film\r\n文件夹不存在!");
    EXPECT_EQ(messages.texts(), QStringList({text, text}));
    EXPECT_TRUE(dialog->isVisible());

    clickRow(*folders, rowWithText(*folders, QStringLiteral("Series")));
    press("Command2");
    EXPECT_EQ(dialog->chosenName(), QStringLiteral("Series"));
}

TEST_F(FolderChooserDialogTest, EscClosesFromTheListAndEnterDoesNothing)
{
    files.writeSiteSettings(root);
    open();
    clickRow(*folders, rowWithText(*folders, QStringLiteral("Film")));
    QTest::keyClick(folders, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(folders, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(dialog->chosenName(), QString());
}

TEST_F(FolderChooserDialogTest, AFolderTheSettingsFileCannotCarryIsRefusedWhenChosen)
{
    files.writeSiteSettings(root);
    files.makeFolder(QStringLiteral("Movies/\tTabbed"));
    open();
    clickRow(*folders, rowWithText(*folders, QStringLiteral("\tTabbed")));
    press("Command2");
    EXPECT_EQ(messages.texts(), QStringList{root + QStringLiteral("/\tTabbed\r\n") +
                                            QStringLiteral("路径不能以空白开头或结尾,也不能含有控制字符!")});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->chosenPath().isEmpty());
}

TEST_F(FolderChooserDialogTest, KeysMoveThroughTheLevelsAndNeverConfirm)
{
    files.makeFolder(QStringLiteral("Movies/Series/Season 1/Extras"));
    files.writeSiteSettings(root);
    open();
    auto *up = dialog->findChild<QPushButton *>("Command4");
    auto *path = dialog->findChild<QLabel *>("Label1");
    ASSERT_NE(up, nullptr);
    ASSERT_NE(path, nullptr);
    EXPECT_FALSE(up->isEnabled());
    EXPECT_FALSE(up->isDefault() || up->autoDefault());
    EXPECT_EQ(path->textFormat(), Qt::PlainText);
    EXPECT_EQ(path->text(), root);
    folders->setFocus();

    // A current row that is not selected is not opened, at the root the
    // keys going up say nothing.
    folders->selectionModel()->setCurrentIndex(folders->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    QTest::keyClick(folders, Qt::Key_Return);
    QTest::keyClick(folders, Qt::Key_Backspace);
    EXPECT_EQ(folders->navigation().subPath(), QString());
    EXPECT_TRUE(messages.isEmpty());

    clickRow(*folders, rowWithText(*folders, QStringLiteral("Series")));
    QTest::keyClick(folders, Qt::Key_Return);
    EXPECT_EQ(folders->selectedName(), QStringLiteral("Season 1"));
    QTest::keyClick(folders, Qt::Key_Right);
    EXPECT_EQ(rowTexts(*folders), QStringList{QStringLiteral("Extras")});
    EXPECT_EQ(path->text(), QDir::toNativeSeparators(root + QStringLiteral("/Series/Season 1")));
    EXPECT_TRUE(up->isEnabled());

    QTest::keyClick(folders, Qt::Key_Left);
    EXPECT_EQ(folders->selectedName(), QStringLiteral("Season 1"));
    QTest::keyClick(folders, Qt::Key_Down);
    QTest::keyClick(folders, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(folders->navigation().subPath(), QDir::toNativeSeparators(QStringLiteral("/Series/Season 2")));
    EXPECT_EQ(folders->model()->rowCount(), 0);

    press("Command4");
    press("Command4");
    EXPECT_EQ(folders->selectedName(), QStringLiteral("Series"));
    EXPECT_FALSE(up->isEnabled());
    EXPECT_TRUE(dialog->isVisible()) << "no key or button on the way confirmed the folder";
    EXPECT_TRUE(messages.isEmpty());
}
