#include "app/gui/MainWindow.h"
#include "support/AnsweringFileChooser.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

TEST(SettingsController, SettingsOpensTheSettingsDialogAndEscWritesNothing)
{
    TempWorkspace files;
    files.withFolders();
    RecordingMessages messages;
    WorkspaceSession session(files.workspace().root());
    ASSERT_TRUE(session.open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse));
    // The window's file chooser is the one the settings dialog browses with.
    AnsweringFileChooser folders;
    folders.answers = {files.path(QStringLiteral("Web"))};
    WindowSeams seams;
    seams.fileChooser = &folders;
    MainWindow window(session, seams);
    window.start();
    ASSERT_TRUE(showAndExpose(window));

    QString opened;
    QString browsed;
    whenModalDialogShown([&](QDialog &dialog) {
        opened = dialog.objectName();
        dialog.findChild<QPushButton *>(QStringLiteral("Command5"))->click();
        browsed = dialog.findChild<QLineEdit *>(QStringLiteral("Text1"))->text();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    actionNamed(window, "M1")->trigger();

    EXPECT_EQ(opened, QStringLiteral("Form4"));
    EXPECT_EQ(folders.startFolders.size(), 1);
    EXPECT_EQ(browsed, files.path(QStringLiteral("Web")));
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/Setting.ini")));
}
