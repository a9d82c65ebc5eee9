#include "app/WorkspaceSession.h"
#include "app/gui/ChineseInterface.h"
#include "app/gui/MainWindow.h"
#include "app/gui/ProgramIcon.h"
#include "app/gui/WindowStateKeeper.h"
#include "files/FileServices.h"
#include "files/TextFile.h"
#include "platform/Messages.h"
#include "platform/gui/QtMessagePresenter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFont>
#include <unistd.h>

namespace {

tessaly::files::Outcome<QString> workspaceFolder(const QApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tessaly"));
    parser.addHelpOption();
    const QCommandLineOption workspace(QStringLiteral("workspace"),
                                       QStringLiteral("The application folder to work in."),
                                       QStringLiteral("DIR"));
    parser.addOption(workspace);
    parser.process(app);
    return tessaly::chooseWorkspaceFolder(QCoreApplication::applicationDirPath(), parser.value(workspace));
}

QFont windowFont()
{
    QFont font(QStringLiteral("微软雅黑"));
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans SC")});
    font.setPointSizeF(10.5);
    return font;
}

// In place of a skin library: `Skin.qss` beside the program styles the
// window; a sheet that cannot be read or parsed leaves the standard look.
void applySkin(QApplication &app, const tessaly::Workspace &workspace)
{
    const QString skin = workspace.skinFile();
    if (!tessaly::files::plainFileExists(skin))
        return;
    if (const auto sheet = tessaly::text::readWholeText(skin))
        app.setStyleSheet(*sheet);
}

} // namespace

int main(int argc, char **argv)
{
    // Chromium refuses to run as root inside its sandbox; the cover search
    // view must work however the program is started.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaly"));
    QApplication::setWindowIcon(tessaly::programIcon());
    QApplication::setFont(windowFont());
    tessaly::installChineseInterface(app);

    tessaly::QtMessagePresenter presenter;
    tessaly::Messages::setPresenter(&presenter);

    const tessaly::files::Outcome<QString> choice = workspaceFolder(app);
    if (!choice) {
        tessaly::Messages::error(choice.failure().text());
        return 1;
    }
    tessaly::WorkspaceSession session(*choice);
    // Styled first, so that the boxes shown while the workspace opens are too.
    applySkin(app, session.workspace());
    if (!session.open(tessaly::WorkspaceSession::Access::Change,
                      tessaly::WorkspaceSession::MissingFolder::Refuse))
        return 1;

    tessaly::MainWindow window(session);
    window.start();
    (new tessaly::WindowStateKeeper(window, session, window))->restore();
    window.show();
    return app.exec();
}
