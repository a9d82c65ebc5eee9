#include "support/WindowFixture.h"

#include "support/WidgetDriving.h"

#include <QTest>

namespace tessaly::testing {

WindowFixture::WindowFixture()
{
    files.withFolders();
    seams.desktop = &desktop;
}

void WindowFixture::writeQuietStyle()
{
    files.writeText(QStringLiteral("Style/Style.ini"),
                    QStringLiteral("[Setting]\r\nCoverwidth=185\r\nCoverheight=250\r\nLinecontent=3"));
}

MainWindow &WindowFixture::startWindow()
{
    window.reset();
    session.reset();
    session = std::make_unique<WorkspaceSession>(files.workspace().root());
    EXPECT_TRUE(session->open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse));
    window = std::make_unique<MainWindow>(*session, seams);
    window->start();
    return *window;
}

MainWindow &WindowFixture::openWindow(Showing showing)
{
    startWindow();
    switch (showing) {
    case Showing::Hidden:
        break;
    case Showing::Shown:
        window->show();
        break;
    case Showing::Exposed:
        EXPECT_TRUE(showAndExpose(*window));
        break;
    case Showing::Active:
        EXPECT_TRUE(showAndExpose(*window));
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        break;
    }
    messages.clear();
    return *window;
}

} // namespace tessaly::testing
