#pragma once

#include "files/Outcome.h"
#include "site/Progress.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace tessaly {

class RunReport;
class Workspace;
struct RunOutcome;

// The clock a run reads for its log's name; tests set their own.
using RunClock = std::function<QDateTime()>;

namespace runlog {

// "<yyyymmdd><HHMMss>.log" for the moment the run ended.
QString fileName(const QDateTime &end);
// The lines joined by CR LF, one more CR LF, code page 936; replaces a log
// of the same name.
files::Outcome<void> write(const Workspace &workspace, const QStringList &lines, const QDateTime &end);

} // namespace runlog

// How a long run ended, as its closing step says it.
struct RunEnding
{
    QString lastLine;
    ProgressIcon lastIcon = ProgressIcon::Done;
    // What the closing box says; empty for a run that shows none.
    QString boxText;
    // Cut short before its end.
    bool stopped = false;
};

// The one closing step of every long run (the site's runs, the conversion
// to web copies, the covers taken from videos): the last line, brought into
// view, and the run log made of the report's lines. The outcome carries the
// box the face shows: information unless the run counted errors or its log
// could not be written, which the box then says in a second paragraph.
RunOutcome closeRun(const Workspace &workspace, RunReport &report, const RunEnding &ending,
                    const RunClock &clock);

} // namespace tessaly
