// `tessaly-cli-demo DIR`: what `tessaly-cli demo DIR` runs once it has
// checked its arguments. Only the example draws, and drawing needs the
// graphics library and all it loads; in a program of its own, that library
// is not loaded at every start of tessaly-cli. The output, the messages and
// the exit status are those of the command.

#include "demo/Example.h"
#include "platform/ConsoleText.h"
#include "platform/Messages.h"
#include "site/Progress.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

using tessaly::writeLineToConsole;
using tessaly::writeQtMessageToConsole;

void writeSeriousQtMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        writeQtMessageToConsole(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(writeQtMessageToConsole);
    if (argc != 2 || argv[1][0] == '\0') {
        writeLineToConsole(stderr, QStringLiteral("用法: tessaly-cli demo DIR"));
        return 2;
    }
    // The frames need a GUI application, which runs offscreen so that it
    // works without a display, as on a server. The platform's start-up
    // remarks (no runtime folder for root, say) mean nothing to someone
    // making the example; failures still show.
    // The application sees no folder name, so that none is taken for one
    // of Qt's own options.
    const QString folder = QFile::decodeName(argv[1]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(writeSeriousQtMessage);
    int applicationArgc = 1;
    QGuiApplication application(applicationArgc, argv);
    qInstallMessageHandler(writeQtMessageToConsole);
    tessaly::StandardErrorPresenter standardError;
    tessaly::Messages::setPresenter(&standardError);
    // Each step takes seconds: its line goes out as it happens, even into a
    // pipe, so that whoever watches sees the work move.
    tessaly::ProgressLines lines([](const tessaly::ProgressLine &line) {
        writeLineToConsole(stdout, line.text);
        std::fflush(stdout);
    });
    return tessaly::demo::makeExample(folder, lines) ? 0 : 1;
}
