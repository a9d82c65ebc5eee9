#pragma once

#include <QObject>

namespace tessaly {

class MainWindow;
class MessagePanel;

// Wires "生成整站内容" (`Command4`) and "更新本集内容" (`Command6`) to the
// generation runs and gives them the message panel as their sink.
class SiteController : public QObject
{
    Q_OBJECT

public:
    explicit SiteController(MainWindow &window);

    MessagePanel *panel() const { return m_panel; }

    void generateWholeSite();
    void updateSelectedProject();

private:
    MainWindow &m_window;
    MessagePanel *m_panel;
};

} // namespace tessaly
