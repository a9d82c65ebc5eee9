#pragma once

#include <QObject>

namespace tessaly {

class MainWindow;
class MessagePanel;

// Wires "生成整站内容" (`Command4`) and "更新本集内容" (`Command6`) to the
// generation runs. The steps before a run (style load, the refusals, the
// panel) happen on the window's thread; the run itself goes on a worker
// thread with copies of the list, the templates and the inputs read, and
// reports to the message panel through a relay; its closing box is shown
// back here.
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
