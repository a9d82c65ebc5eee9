#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace tessaly {

class ProgressSink;
class ProjectList;
class ServerProbe;
class WorkspaceSession;

// `tessaly-cli [--workspace DIR] COMMAND`: the window's logic for scripts
// and scheduled jobs. Progress lines go to `out`, usage errors to `err`;
// every message-box text goes through the message seam (standard error in
// the real program). Exit status: 0 done, 1 refused or failed, 2 usage.
// Without `--workspace` the workspace is chosen from the executable's folder
// given here, by the same rule as the window's.
class CommandLine
{
public:
    using Output = std::function<void(const QString &line)>;

    enum Status
    {
        Done = 0,
        Failed = 1,
        UsageError = 2
    };

    CommandLine(QString applicationFolder, Output out, Output err);
    ~CommandLine();

    int run(const QStringList &arguments);
    static QString usageText();

    // `demo DIR` draws and encodes videos, which this library does not: the
    // main hands in the maker. Without one, `demo` is a usage error.
    using ExampleMaker = std::function<bool(const QString &folder, ProgressSink &sink)>;
    void setExampleMaker(ExampleMaker maker) { m_exampleMaker = std::move(maker); }
    // What asks the web server after publishing; Qt Network's unless a test
    // puts its own in.
    void setServerProbe(std::unique_ptr<ServerProbe> probe);
    // Where `convert` shows how far it is, as a percentage (-1: clear it
    // before a line); the main sets it when standard error is a terminal.
    using PercentOutput = std::function<void(int percent)>;
    void setPercentOutput(PercentOutput percent) { m_percent = std::move(percent); }

private:
    int generate(WorkspaceSession &session);
    int update(WorkspaceSession &session, const QString &name);
    int list(WorkspaceSession &session);
    int add(WorkspaceSession &session, const QStringList &arguments);
    int remove(WorkspaceSession &session, const QString &name);
    int check(WorkspaceSession &session, const QStringList &arguments);
    int convert(WorkspaceSession &session, const QStringList &arguments);
    int usageError();

    QString m_applicationFolder;
    Output m_out;
    Output m_err;
    ExampleMaker m_exampleMaker;
    std::unique_ptr<ServerProbe> m_probe;
    PercentOutput m_percent;
};

} // namespace tessaly
