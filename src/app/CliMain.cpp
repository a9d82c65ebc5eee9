#include "app/CommandLine.h"
#include "platform/Messages.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void writeLine(std::FILE *stream, const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    tessaly::StandardErrorPresenter standardError;
    tessaly::Messages::setPresenter(&standardError);
    tessaly::CommandLine commandLine(
        QCoreApplication::applicationDirPath(), [](const QString &line) { writeLine(stdout, line); },
        [](const QString &line) { writeLine(stderr, line); });
    return commandLine.run(QCoreApplication::arguments().mid(1));
}
