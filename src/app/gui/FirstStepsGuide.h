#pragma once

#include <QGroupBox>

class QPushButton;

namespace tessaly {

// What the window shows in place of the details pane while the project
// list is empty: the three steps to a first site, and "打开示例", which
// opens a complete example to look at instead.
class FirstStepsGuide : public QGroupBox
{
    Q_OBJECT

public:
    explicit FirstStepsGuide(QWidget *parent = nullptr);

    static QStringList steps();
    QPushButton *openExampleButton() const { return m_openExample; }

private:
    QPushButton *m_openExample = nullptr;
};

} // namespace tessaly
