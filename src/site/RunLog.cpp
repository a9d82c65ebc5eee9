#include "site/RunLog.h"

#include "files/FileServices.h"
#include "files/OpenFolder.h"
#include "files/TextFile.h"
#include "site/RunReport.h"
#include "site/SiteTexts.h"
#include "workspace/Workspace.h"

namespace tessaly {

namespace runlog {

QString fileName(const QDateTime &end)
{
    return end.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".log");
}

files::Outcome<void> write(const Workspace &workspace, const QStringList &lines, const QDateTime &end)
{
    // A log whose writing was cut off by a crash leaves its temporary file.
    files::OpenFolder(workspace.log()).removeTemporaries();
    const QString path = files::joinPath(workspace.log(), fileName(end));
    // Encoded line by line rather than joined first: a run of a hundred
    // thousand projects logs several hundred thousand lines.
    bool fits = true;
    for (const QString &line : lines)
        fits = fits && text::fitsCodePage936(line);
    text::PieceEncoder encoder(fits);
    QByteArray bytes;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            bytes.append("\r\n", 2);
        encoder.appendTo(bytes, lines.at(i));
    }
    bytes.append("\r\n", 2);
    return files::writeFileAtomically(path, bytes);
}

} // namespace runlog

RunOutcome closeRun(const Workspace &workspace, RunReport &report, const RunEnding &ending,
                    const RunClock &clock)
{
    RunOutcome outcome;
    outcome.errors = report.errors();
    outcome.stopped = ending.stopped;
    report.step(ending.lastLine, ending.lastIcon);
    report.sink().showLastLine();
    const QDateTime end = clock ? clock() : QDateTime::currentDateTime();
    if (const files::Outcome<void> written = runlog::write(workspace, report.logLines(), end); !written)
        outcome.logFailure = written.failure().path + QStringLiteral(": ") + written.failure().reason;
    if (ending.boxText.isEmpty())
        return outcome;
    QString text = ending.boxText;
    if (!outcome.logFailure.isEmpty())
        text += site::texts::logNotWritten(outcome.logFailure);
    const bool clean = outcome.errors == 0 && outcome.logFailure.isEmpty();
    outcome.box = site::texts::box(clean ? MessageIcon::Information : MessageIcon::Error, text);
    return outcome;
}

} // namespace tessaly
