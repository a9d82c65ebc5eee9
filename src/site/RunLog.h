#pragma once

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
// of the same name. On failure `failure` gets "path: reason".
bool write(const Workspace &workspace, const QStringList &lines, const QDateTime &end, QString *failure);

} // namespace runlog

// The closing steps of a run: the last line, the log and the closing box.
// A run that counted errors ends with their number instead of the success
// texts; a log that cannot be written is a second paragraph of the box.
class RunClosing
{
public:
    enum class Variant
    {
        WholeSite,
        Update
    };

    RunClosing(const Workspace &workspace, RunReport &report, RunClock clock);
    // The last line and the log; the outcome carries the box's text for the
    // thread that may show it.
    RunOutcome finish(Variant variant);
    // A run stopped because the window is closing: "生成网站已中止..." and
    // the log; no box follows.
    RunOutcome stop();
    static void showBox(const RunOutcome &outcome);
    // Episodes browsers may not play well: a second paragraph of the box.
    void setVideoNotes(int count) { m_videoNotes = count; }

private:
    void writeLog(RunOutcome &outcome);

    const Workspace &m_workspace;
    RunReport &m_report;
    RunClock m_clock;
    int m_videoNotes = 0;
};

} // namespace tessaly
