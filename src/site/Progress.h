#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tessaly {

// The row icons of progress lines.
enum class ProgressIcon
{
    Done = 2,        // completion lines
    Failure = 3,     // failure lines
    Step = 4,        // ordinary step lines
    EpisodeList = 5, // the line that starts a project's episode list
    Opening = 6,     // opening and connection lines
};

struct ProgressLine
{
    QString text;
    ProgressIcon icon = ProgressIcon::Step;
    // Kept for the run log only: the window and the command line do not
    // show it (the names behind a line that counts them).
    bool logOnly = false;
};

// Where a run reports: the window's message panel, the command line's
// standard output, a test's list. A run only appends; its run log is made
// of the run's own lines, never read back from here.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;

    // A whole-site run starts: show the lines, clear them, keep the user
    // from closing them until the run ends.
    virtual void beginWholeSiteRun() {}
    virtual void add(const ProgressLine &line) = 0;
    // Select the last line and bring it into view.
    virtual void showLastLine() {}
    // How far the run is: projects done of the projects in the run, and
    // while publishing, files done of the files to publish.
    virtual void progress(int done, int total)
    {
        Q_UNUSED(done);
        Q_UNUSED(total);
    }
    // Called after the closing box of a whole-site run.
    virtual void endWholeSiteRun() {}
};

// The lines in memory, optionally echoed as they come (the command line
// prints each one).
class ProgressLines : public ProgressSink
{
public:
    using Echo = std::function<void(const ProgressLine &)>;

    ProgressLines() = default;
    explicit ProgressLines(Echo echo) : m_echo(std::move(echo)) {}

    void beginWholeSiteRun() override { m_lines.clear(); }
    void add(const ProgressLine &line) override
    {
        m_lines.append(line);
        if (m_echo)
            m_echo(line);
    }
    QStringList texts() const
    {
        QStringList result;
        result.reserve(m_lines.size());
        for (const ProgressLine &line : m_lines)
            result.append(line.text);
        return result;
    }
    const QList<ProgressLine> &lines() const { return m_lines; }

private:
    QList<ProgressLine> m_lines;
    Echo m_echo;
};

} // namespace tessaly
