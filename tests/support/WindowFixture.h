#pragma once

#include "app/gui/MainWindow.h"
#include "support/RecordingDesktop.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <gtest/gtest.h>
#include <memory>

namespace tessaly::testing {

// The main window on a temporary workspace with its folders made, the
// message boxes and the desktop recorded. The window goes before the
// workspace's files.
class WindowFixture : public ::testing::Test
{
protected:
    WindowFixture();

    // A Style.ini that keeps the style load at start quiet.
    void writeQuietStyle();

    enum class Showing
    {
        Hidden,
        Shown,   // shown, not waited for
        Exposed, // shown and exposed
        Active,  // exposed and active, for keyboard input
    };
    // Opens a session on the workspace as its files are now and makes and
    // starts the window on it; the messages keep what the opening said.
    MainWindow &startWindow();
    // The same, shown as asked; what the start said is cleared.
    MainWindow &openWindow(Showing showing);

    TempWorkspace files;
    RecordingMessages messages;
    RecordingDesktop desktop;
    // What the window reaches the outside through; set before it starts.
    WindowSeams seams;
    // The window goes before its session, which releases the lock.
    std::unique_ptr<WorkspaceSession> session;
    std::unique_ptr<MainWindow> window;
};

} // namespace tessaly::testing
