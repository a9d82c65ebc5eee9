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
    // Makes and starts the window on the workspace as its files are now;
    // what the start said is cleared from the messages.
    MainWindow &openWindow(Showing showing);

    TempWorkspace files;
    RecordingMessages messages;
    RecordingDesktop desktop;
    std::unique_ptr<MainWindow> window;
};

} // namespace tessaly::testing
