#pragma once

namespace tessaly {

class MainWindow;

// Attaches each subsystem's command controller to the window's controls.
// Every controller is a QObject child of the window that finds its buttons
// and menu actions by objectName and connects to them.
void attachControllers(MainWindow &window);

} // namespace tessaly
