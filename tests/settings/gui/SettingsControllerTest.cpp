#include "app/gui/MainWindow.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"
#include "support/WidgetDriving.h"

#include <QAction>
#include <QDialog>
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
    MainWindow window(session);
    window.start();
    ASSERT_TRUE(showAndExpose(window));

    QString opened;
    whenModalDialogShown([&](QDialog &dialog) {
        opened = dialog.objectName();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    actionNamed(window, "M1")->trigger();

    EXPECT_EQ(opened, QStringLiteral("Form4"));
    EXPECT_FALSE(files.exists(QStringLiteral("Setting/Setting.ini")));
}
