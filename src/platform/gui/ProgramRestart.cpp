#include "platform/gui/ProgramRestart.h"

#include <QCoreApplication>
#include <QProcess>

namespace tessaly {

std::optional<QString> restartProgramOn(const QString &workspace)
{
    QProcess program;
    program.setProgram(QCoreApplication::applicationFilePath());
    program.setArguments({QStringLiteral("--workspace"), workspace});
    if (program.startDetached())
        return std::nullopt;
    return program.errorString();
}

} // namespace tessaly
