#include "app/CommandLine.h"
#include "demo/Example.h"
#include "platform/ConsoleText.h"
#include "platform/Messages.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

namespace {

void writeLine(std::FILE *stream, const QString &line)
{
    tessaly::writeToConsole(stream, line + u'\n');
}

// Qt's own warnings can quote a path too, so they take the same way out.
void writeQtMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    writeLine(stderr, qFormatLogMessage(type, context, message));
}

void writeSeriousQtMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        writeQtMessage(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(writeQtMessage);
    // Only the example draws: its frames need a GUI application, which runs
    // offscreen so that it works without a display, as on a server.
    const bool drawsFrames = argc > 1 && qstrcmp(argv[1], "demo") == 0;
    std::unique_ptr<QCoreApplication> application;
    if (drawsFrames) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The platform's start-up remarks (no runtime folder for root, say)
        // mean nothing to someone making the example; failures still show.
        qInstallMessageHandler(writeSeriousQtMessage);
        application = std::make_unique<QGuiApplication>(argc, argv);
        qInstallMessageHandler(writeQtMessage);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    tessaly::StandardErrorPresenter standardError;
    tessaly::Messages::setPresenter(&standardError);
    tessaly::CommandLine commandLine(
        QCoreApplication::applicationDirPath(), [](const QString &line) { writeLine(stdout, line); },
        [](const QString &line) { writeLine(stderr, line); });
    commandLine.setExampleMaker(&tessaly::demo::makeExample);
    return commandLine.run(QCoreApplication::arguments().mid(1));
}
