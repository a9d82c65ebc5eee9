#pragma once

#include <QObject>

namespace tessaly {

class MainWindow;

// "设置" (`M1`): opens the settings dialog, modal over the main window.
class SettingsController : public QObject
{
    Q_OBJECT

public:
    explicit SettingsController(MainWindow &window);

    void openSettings();

private:
    MainWindow &m_window;
};

} // namespace tessaly
