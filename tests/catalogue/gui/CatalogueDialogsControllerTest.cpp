#include "app/gui/MainWindow.h"
#include "catalogue/gui/DetailsPane.h"
#include "catalogue/gui/EpisodeFolderDialog.h"
#include "catalogue/gui/FolderListView.h"
#include "settings/SettingsFiles.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class CatalogueDialogsControllerTest : public WindowFixture
{
protected:
    CatalogueDialogsControllerTest()
    {
        root = files.makeFolder(QStringLiteral("Movies"));
        files.writeBytes(QStringLiteral("Movies/Film/a.mp4"), "a");
        files.writeBytes(QStringLiteral("Movies/Film/a.srt"), "subtitles");
        files.writeBytes(QStringLiteral("Movies/Film/poster.jpg"), "picture");
        files.writeSiteSettings(root);
        files.writeList({QStringLiteral("Old")});
    }

    void start() { openWindow(Showing::Exposed); }

    QString root;
};

} // namespace

TEST_F(CatalogueDialogsControllerTest, AddAndNewOpenTheNewProjectDialog)
{
    start();
    QString opened;
    whenModalDialogShown([&](QDialog &dialog) {
        opened = dialog.objectName();
        typeText(*dialog.findChild<QLineEdit *>(QStringLiteral("Text1")), QStringLiteral("新片"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QTest::mouseClick(buttonNamed(*window, "Command1"), Qt::LeftButton);
    EXPECT_EQ(opened, QStringLiteral("Form2"));
    EXPECT_EQ(window->projects().names(), QStringList({QStringLiteral("新片"), QStringLiteral("Old")}));
    EXPECT_EQ(window->chosenProject().value_or(QString()), QStringLiteral("新片"));

    opened.clear();
    whenModalDialogShown([&](QDialog &dialog) {
        opened = dialog.objectName();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    actionNamed(*window, "MB5")->trigger();
    EXPECT_EQ(opened, QStringLiteral("Form2"));
    EXPECT_EQ(window->projects().size(), 2);
    EXPECT_TRUE(messages.isEmpty()) << messages.texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(CatalogueDialogsControllerTest, ChooseRecordsTheFolderAndTheDetailsShowItsEpisodes)
{
    start();
    window->selectRow(0);
    auto *others = window->findChild<QLabel *>(QStringLiteral("Label2"));
    ASSERT_NE(others, nullptr);
    EXPECT_FALSE(others->isVisible()) << "a project without a folder has no other files";
    QString opened;
    QStringList chooserFiles;
    whenModalDialogShown([&](QDialog &dialog) {
        opened = dialog.objectName();
        auto *chooser = qobject_cast<EpisodeFolderDialog *>(&dialog);
        ASSERT_NE(chooser, nullptr);
        clickRow(*chooser->folderList(), rowWithText(*chooser->folderList(), QStringLiteral("Film")));
        chooserFiles = rowTexts(*dialog.findChild<QTreeView *>(QStringLiteral("ListView2")));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
    });
    QTest::mouseClick(buttonNamed(*window, "Command3"), Qt::LeftButton);

    EXPECT_EQ(opened, QStringLiteral("Form3"));
    EXPECT_EQ(settings::episodeFolder(files.workspace(), QStringLiteral("Old")),
              root + QStringLiteral("/Film"));
    QTreeView *episodes = window->detailsPane()->episodeView();
    ASSERT_NE(episodes, nullptr);
    // Subtitles and pictures are no episodes; the pane says they are there.
    EXPECT_EQ(rowTexts(*episodes), QStringList({QStringLiteral("a.mp4")}));
    EXPECT_EQ(chooserFiles, QStringList({QStringLiteral("a.mp4")}));
    EXPECT_TRUE(others->isVisible());
    EXPECT_EQ(others->text(), QStringLiteral("另有 2 个非视频文件未列为剧集"));
    EXPECT_TRUE(others->toolTip().contains(QStringLiteral("a.srt<br>poster.jpg")));
}

TEST_F(CatalogueDialogsControllerTest, ChooseOnANameThatCannotBeAFileNameOpensNothing)
{
    // "List" would make the chooser write its folder into `List.ini`.
    files.writeList({QStringLiteral("a/b"), QStringLiteral("List")});
    const QByteArray list = files.readBytes(QStringLiteral("Setting/List.ini"));
    start();
    for (int row : {0, 1}) {
        messages.clear();
        window->selectRow(row);
        bool opened = false;
        whenModalDialogShown([&](QDialog &) { opened = true; });
        QTest::mouseClick(buttonNamed(*window, "Command3"), Qt::LeftButton);
        QCoreApplication::processEvents();

        EXPECT_FALSE(opened);
        EXPECT_EQ(messages.texts(),
                  QStringList({QStringLiteral("无法使用的项目名称: ") + window->projects().names().at(row)}));
    }
    EXPECT_EQ(files.readBytes(QStringLiteral("Setting/List.ini")), list);
}
