#pragma once

#include "platform/Messages.h"
#include "site/Progress.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tessaly {

// A run's voice: adds the progress lines to the sink, keeps their texts for
// the run log and counts the failure lines, each of which names what failed
// and why.
class RunReport
{
public:
    // `earlierLines` are what the run log repeats before this run's lines.
    explicit RunReport(ProgressSink &sink, QStringList earlierLines = {})
        : m_sink(sink), m_logLines(std::move(earlierLines))
    {}

    void step(const QString &text, ProgressIcon icon = ProgressIcon::Step) { add({text, icon}); }
    void progress(int done, int total) { m_sink.progress(done, total); }
    // A line for the run log alone.
    void logNote(const QString &text) { add({text, ProgressIcon::Step, true}); }

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
    // The run log's lines: the earlier ones, then every line of this run.
    const QStringList &logLines() const { return m_logLines; }

private:
    void add(const ProgressLine &line)
    {
        m_logLines.append(line.text);
        m_sink.add(line);
    }

    ProgressSink &m_sink;
    QStringList m_logLines;
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
    // The closing box; none for a run refused or stopped by the window's
    // closing.
    std::optional<Message> box;
    // Stopped early because the window was closed.
    bool stopped = false;

    bool succeeded() const { return !refused && !stopped && errors == 0 && logFailure.isEmpty(); }
};

} // namespace tessaly
