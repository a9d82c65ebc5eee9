#pragma once

#include "site/Progress.h"

#include <QString>

namespace tessaly {

// A run's voice: adds the progress lines to the sink and counts the failure
// lines, each of which names what failed and why.
class RunReport
{
public:
    explicit RunReport(ProgressSink &sink) : m_sink(sink) {}

    void step(const QString &text, ProgressIcon icon = ProgressIcon::Step) { m_sink.add({text, icon}); }
    void progress(int done, int total) { m_sink.progress(done, total); }
    // A line for the run log alone.
    void logNote(const QString &text) { m_sink.add({text, ProgressIcon::Step, true}); }

    // "无法写入 <path>: <reason>" and its kin; each counts one error.
    void cannotWrite(const QString &path, const QString &reason);
    void cannotDelete(const QString &path, const QString &reason);
    void cannotRead(const QString &path, const QString &reason);
    void cannotCopy(const QString &source, const QString &target, const QString &reason);
    void unusableName(const QString &name);
    // A failure line prepared earlier (see site/SiteTexts.h).
    void failure(const QString &text);

    int errors() const { return m_errors; }
    ProgressSink &sink() { return m_sink; }

private:
    ProgressSink &m_sink;
    int m_errors = 0;
};

// How a run ended, for the window (nothing more to do) and the command line
// (its exit status).
struct RunOutcome
{
    bool refused = false;
    int errors = 0;
    // Empty when the run log was written; otherwise "path: reason".
    QString logFailure;
    // What the closing box says; empty for a run that shows none.
    QString boxText;
    // Stopped early because the window was closed.
    bool stopped = false;

    bool succeeded() const { return !refused && !stopped && errors == 0 && logFailure.isEmpty(); }
};

} // namespace tessaly
