#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace tessaly {

class BackgroundRun;
class MessagePanel;
class WorkspaceSession;

// Starts the program anew as a process of its own on a workspace folder;
// the reason when it cannot be started, nothing once it is on its way.
using ProgramRestart = std::function<std::optional<QString>(const QString &workspace)>;

// "打开示例": the example `tessaly-cli demo` makes, kept as `Tessaly 示例`
// in the user's data folder. It is made the first time, by the example
// maker as the window's background job with its lines in the message
// panel; then the window gives up its workspace and the program starts
// anew on the example's.
class ExampleController : public QObject
{
    Q_OBJECT

public:
    // `maker` is the example maker program; `window` closes once the new
    // process is on its way. `shownLines` are kept as the panel's lines.
    // The controller belongs to `window`.
    ExampleController(WorkspaceSession &session, BackgroundRun &background, MessagePanel *panel,
                      QStringList &shownLines, QString maker, ProgramRestart restart, QWidget &window);

    static QString exampleFolderName() { return QStringLiteral("Tessaly 示例"); }

    void openExample();

signals:
    // Making the example has ended, made or not, and been said.
    void finished();

private:
    void restartOn(const QString &workspace);

    WorkspaceSession &m_session;
    BackgroundRun &m_background;
    MessagePanel *m_panel;
    QStringList &m_shownLines;
    QString m_maker;
    ProgramRestart m_restart;
    QWidget &m_window;
};

} // namespace tessaly
