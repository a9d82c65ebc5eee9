#include "app/CommandLine.h"
#include "platform/ConsoleText.h"
#include "platform/Messages.h"

#include <QCoreApplication>

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

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(writeQtMessage);
    QCoreApplication application(argc, argv);
    tessaly::StandardErrorPresenter standardError;
    tessaly::Messages::setPresenter(&standardError);
    tessaly::CommandLine commandLine(
        QCoreApplication::applicationDirPath(), [](const QString &line) { writeLine(stdout, line); },
        [](const QString &line) { writeLine(stderr, line); });
    return commandLine.run(QCoreApplication::arguments().mid(1));
}
