#include "platform/gui/ProgramRestart.h"

#include <QCoreApplication>
#include <QProcess>

namespace tessaly {

bool restartProgramOn(const QString &workspace, QString *reason)
{
    QProcess program;
    program.setProgram(QCoreApplication::applicationFilePath());
    program.setArguments({QStringLiteral("--workspace"), workspace});
    if (program.startDetached())
        return true;
    if (reason)
        *reason = program.errorString();
    return false;
}

} // namespace tessaly
