#include "catalogue/gui/EpisodeFolderDialog.h"

#include "catalogue/gui/FolderListView.h"
#include "settings/IniFile.h"
#include "settings/SettingsFiles.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class EpisodeFolderDialogTest : public ::testing::Test
{
protected:
    EpisodeFolderDialogTest()
    {
        files.withFolders();
        root = files.makeFolder(QStringLiteral("Movies"));
        files.writeBytes(QStringLiteral("Movies/Series/Season 1/E02.mp4"), "2");
        files.writeBytes(QStringLiteral("Movies/Series/Season 1/e01.mp4"), "1");
        files.writeBytes(QStringLiteral("Movies/Series/Season 1/.hidden"), "h");
        files.writeBytes(QStringLiteral("Movies/Series/Season 2/S2E01.mkv"), "1");
        files.makeFolder(QStringLiteral("Movies/Series/Season 2/Extras"));
    }

    void open(const QString &project = QStringLiteral("剧集"))
    {
        dialog = std::make_unique<EpisodeFolderDialog>(
            files.workspace(), project, [this, project](const QString &folder) {
                if (!settings::setEpisodeFolder(files.workspace(), project, folder).ok())
                    return false;
                recorded.append(folder);
                return true;
            });
        EXPECT_TRUE(showAndExpose(*dialog));
        folders = dialog->folderList();
        fileList = dialog->fileList();
        folderModelTester = std::make_unique<QAbstractItemModelTester>(
            folders->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        fileModelTester = std::make_unique<QAbstractItemModelTester>(
            fileList->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    void press(const char *button)
    {
        QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    }
    void openFolder(const QString &name)
    {
        clickRow(*folders, rowWithText(*folders, name));
        folders->openSelectedFolder();
    }
    QString storedFolder(const QString &name) const
    {
        return ini::read(QStringLiteral("Setting"), QStringLiteral("File"),
                         files.workspace().projectSettingsFile(name));
    }
    QString heading() const { return fileList->model()->headerData(0, Qt::Horizontal).toString(); }

    TempWorkspace files;
    RecordingMessages messages;
    QStringList recorded;
    QString root;
    std::unique_ptr<EpisodeFolderDialog> dialog;
    FolderListView *folders = nullptr;
    QTreeView *fileList = nullptr;
    std::unique_ptr<QAbstractItemModelTester> folderModelTester;
    std::unique_ptr<QAbstractItemModelTester> fileModelTester;
};

} // namespace

TEST_F(EpisodeFolderDialogTest, WithoutASettingsFileBothListsAreEmptyAndOkDoesNothing)
{
    open();
    EXPECT_EQ(dialog->objectName(), QStringLiteral("Form3"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("选择"));
    EXPECT_EQ(folders->model()->rowCount(), 0);
    EXPECT_EQ(fileList->model()->rowCount(), 0);
    EXPECT_EQ(heading(), QStringLiteral("项目"));

    press("Command2");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(recorded.isEmpty());
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/剧集.ini")));
}

TEST_F(EpisodeFolderDialogTest, TheFileListFollowsTheSelectionByClickAndByKeyboard)
{
    files.writeSiteSettings(root);
    open();
    openFolder(QStringLiteral("Series"));
    // Going down selects the first row, whose files are shown at once.
    EXPECT_EQ(folders->selectedName(), QStringLiteral("Season 1"));
    EXPECT_EQ(fileList->model()->rowCount(), 2);

    clickRow(*folders, rowWithText(*folders, QStringLiteral("Season 1")));
    EXPECT_EQ(heading(), QStringLiteral("Series/Season 1"));
    EXPECT_EQ(rowTexts(*fileList), QStringList({QStringLiteral("e01.mp4"), QStringLiteral("E02.mp4")}));

    QTest::keyClick(folders, Qt::Key_Down);
    EXPECT_EQ(folders->selectedName(), QStringLiteral("Season 2"));
    EXPECT_EQ(heading(), QStringLiteral("Series/Season 2"));
    EXPECT_EQ(rowTexts(*fileList), QStringList({QStringLiteral("S2E01.mkv")}));

    press("Command2");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(storedFolder(QStringLiteral("剧集")), root + QStringLiteral("/Series/Season 2"));
    EXPECT_EQ(recorded, QStringList({root + QStringLiteral("/Series/Season 2")}));
}

TEST_F(EpisodeFolderDialogTest, ADoubleClickRecordsTheFolderWithoutGoingDown)
{
    files.writeSiteSettings(root);
    open();
    openFolder(QStringLiteral("Series"));
    doubleClickRow(*folders, rowWithText(*folders, QStringLiteral("Season 2")));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(storedFolder(QStringLiteral("剧集")), root + QStringLiteral("/Series/Season 2"));
}

TEST_F(EpisodeFolderDialogTest, TheMenuNeedsASelectionOnAListWithRows)
{
    files.writeSiteSettings(root);
    open();
    requestContextMenu(*folders);
    EXPECT_FALSE(folders->contextMenu()->isVisible());

    clickRow(*folders, rowWithText(*folders, QStringLiteral("Series")));
    requestContextMenu(*folders, rowWithText(*folders, QStringLiteral("Series")));
    ASSERT_TRUE(folders->contextMenu()->isVisible());
    QAction *openItem = folders->contextMenu()->findChild<QAction *>(QStringLiteral("M1"));
    EXPECT_TRUE(openItem->isVisible());
    openItem->trigger();
    folders->contextMenu()->hide();

    openFolder(QStringLiteral("Season 1"));
    EXPECT_EQ(folders->model()->rowCount(), 0);
    requestContextMenu(*folders);
    ASSERT_TRUE(folders->contextMenu()->isVisible());
    EXPECT_FALSE(folders->contextMenu()->findChild<QAction *>(QStringLiteral("M1"))->isVisible());
    folders->contextMenu()->findChild<QAction *>(QStringLiteral("M2"))->trigger();
    EXPECT_EQ(rowTexts(*folders), QStringList({QStringLiteral("Season 1"), QStringLiteral("Season 2")}));
    // Going up selects the folder just left.
    EXPECT_EQ(heading(), QStringLiteral("Series/Season 1"));
}

TEST_F(EpisodeFolderDialogTest, AFolderThatCannotBeRecordedKeepsTheDialogOpen)
{
    files.writeSiteSettings(root);
    files.makeFolder(QStringLiteral("Setting/剧集.ini"));
    open();
    clickRow(*folders, rowWithText(*folders, QStringLiteral("Series")));
    press("Command2");

    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(recorded.isEmpty());
}

TEST_F(EpisodeFolderDialogTest, AMovieRootNamingAFileListsNothing)
{
    files.writeBytes(QStringLiteral("Movies/readme.txt"), "x");
    files.writeSiteSettings(root + QStringLiteral("/readme.txt"));
    open();
    EXPECT_EQ(folders->model()->rowCount(), 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(EpisodeFolderDialogTest, EnterDoesNothingAndEscClosesWithoutChanges)
{
    files.writeSiteSettings(root);
    open();
    clickRow(*folders, rowWithText(*folders, QStringLiteral("Series")));
    QTest::keyClick(folders, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    // Enter went down and selected the first row, whose files are shown.
    EXPECT_EQ(folders->selectedName(), QStringLiteral("Season 1"));
    EXPECT_EQ(rowTexts(*fileList), QStringList({QStringLiteral("e01.mp4"), QStringLiteral("E02.mp4")}));

    fileList->setFocus();
    QTest::keyClick(fileList, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(recorded.isEmpty());
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/剧集.ini")));
}

TEST_F(EpisodeFolderDialogTest, FoldersThatWouldReadBackAsAnotherPathAreRefused)
{
    files.writeSiteSettings(root);
    files.makeFolder(QStringLiteral("Movies/Trailing "));
    // A name in bytes that are not UTF-8 (GBK from an old disk).
    const QByteArray gbk = QFile::encodeName(root) + "/\xD6\xD0";
    ASSERT_EQ(::mkdir(gbk.constData(), 0755), 0);
    open();
    const QList<std::pair<QString, QString>> refused{
        {QStringLiteral("Trailing "), QStringLiteral("路径不能以空白开头或结尾,也不能含有控制字符!")},
        {QFile::decodeName("\xD6\xD0"), QStringLiteral("路径中含有无法保存的字符!")}};
    for (const auto &[folder, text] : refused) {
        messages.clear();
        clickRow(*folders, rowWithText(*folders, folder));
        // A name Qt cannot reach the folder by is said on the click: its
        // files could not be shown.
        const bool undecoded = text == QStringLiteral("路径中含有无法保存的字符!");
        EXPECT_EQ(messages.texts(), undecoded
                                        ? QStringList{root + u'/' + folder + QStringLiteral("\r\n") + text}
                                        : QStringList{});
        messages.clear();
        press("Command2");
        EXPECT_EQ(messages.texts(), QStringList{root + u'/' + folder + QStringLiteral("\r\n") + text});
    }
    ::rmdir(gbk.constData()); // Qt cannot name it to remove it
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(recorded.isEmpty());
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/剧集.ini")));
}
