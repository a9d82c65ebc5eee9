#pragma once

#include <QObject>

namespace tessaly {

class MainWindow;

// Brings back the main window's size, position and, for its workspace, the
// last selected project; keeps them when the window closes.
class WindowStateKeeper : public QObject
{
    Q_OBJECT

public:
    explicit WindowStateKeeper(MainWindow &window);

    // After the project list is loaded and before the window is shown.
    void restore();
    void save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MainWindow &m_window;
};

} // namespace tessaly
