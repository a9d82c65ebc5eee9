#include "app/CommandLine.h"
#include "files/Reasons.h"
#include "platform/ConsoleText.h"
#include "platform/Messages.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

using tessaly::writeLineToConsole;
using tessaly::writeQtMessageToConsole;

// Only the example draws, and drawing needs the graphics library: the
// example is made by a program of its own beside this one, which takes
// over this process, so that no other command loads that library. Returns
// only when it cannot be started.
bool handOverToExampleMaker(const QString &folder)
{
    const QByteArray maker =
        QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-cli-demo"));
    const QByteArray encodedFolder = QFile::encodeName(folder);
    std::fflush(stdout);
    std::fflush(stderr);
    ::execl(maker.constData(), maker.constData(), encodedFolder.constData(), static_cast<char *>(nullptr));
    tessaly::Messages::error(
        tessaly::Messages::withPath(QFile::decodeName(maker), tessaly::files::reasonFor(errno)));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(writeQtMessageToConsole);
    QCoreApplication application(argc, argv);
    tessaly::StandardErrorPresenter standardError;
    tessaly::Messages::setPresenter(&standardError);
    tessaly::CommandLine commandLine(
        QCoreApplication::applicationDirPath(), [](const QString &line) { writeLineToConsole(stdout, line); },
        [](const QString &line) { writeLineToConsole(stderr, line); });
    // The percentage is drawn over itself, which only a terminal shows as meant.
    if (::isatty(STDERR_FILENO))
        commandLine.setPercentOutput([](int percent) {
            if (percent < 0)
                std::fputs("\r     \r", stderr);
            else
                std::fprintf(stderr, "\r%3d%%", percent);
            std::fflush(stderr);
        });
    commandLine.setExampleMaker(
        [](const QString &folder, tessaly::ProgressSink &) { return handOverToExampleMaker(folder); });
    return commandLine.run(QCoreApplication::arguments().mid(1));
}
