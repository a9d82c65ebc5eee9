#pragma once

#include "app/gui/ExampleController.h"
#include "platform/gui/BrowserView.h"

class QMainWindow;

namespace tessaly {

class BackgroundRun;
class Clipboard;
class ColourChooser;
class Desktop;
class FileChooser;
class HttpClient;
class ProjectChoice;
class ServerProbe;
class WorkspaceSession;
struct WindowControls;

// What the window's commands reach the outside through, besides the message
// boxes. Each one left empty is Qt's own; the caller keeps the others alive
// as long as the window.
struct WindowSeams
{
    Desktop *desktop = nullptr;
    FileChooser *fileChooser = nullptr;
    HttpClient *http = nullptr;
    Clipboard *clipboard = nullptr;
    ColourChooser *colours = nullptr;
    ServerProbe *serverProbe = nullptr;
    BrowserFactory makeBrowser;
    // How "打开示例" starts the program anew on the example.
    ProgramRestart restart;
    // The example maker; empty: `tessaly-cli-demo` beside the program.
    QString exampleMaker;
};

// Makes the window's controllers, hands each the session, the project
// choice, the seams and the widgets it acts on, and connects the window's
// controls, keys and menus to them. Everything made belongs to `window`.
void wireWindow(QMainWindow &window, const WindowControls &controls, WorkspaceSession &session,
                ProjectChoice &choice, BackgroundRun &background, const WindowSeams &seams);

} // namespace tessaly
