#pragma once

#include "site/RunLog.h"
#include "site/RunReport.h"

#include <QByteArray>
#include <QSet>
#include <QStringList>

namespace tessaly {

class OutputFolders;
class ProgressSink;
class ProjectList;
class Workspace;
struct WorkingTemplates;

// Start-up's word on the files every run needs (the templates, `Style.ini`
// and `Setting.ini`): each one that cannot be read or decoded, or a missing
// template that cannot be written, as its path, CR LF, the reason; the
// texts joined by CR LF, empty when all is well.
QString unusableRunInputsText(const Workspace &workspace, const WorkingTemplates &templates);

// "生成整站内容": rebuilds `Web` from the project list, publishes it and
// closes with the run log. The caller runs the style load first and passes
// the working templates it left.
class SiteGeneration
{
public:
    SiteGeneration(const Workspace &workspace, const ProjectList &projects, const WorkingTemplates &templates,
                   ProgressSink &sink);

    void setClock(RunClock clock) { m_clock = std::move(clock); }
    RunOutcome run();

private:
    // Empties `Web/Data` but for the pages kept; removes the index page.
    void clearCache(const OutputFolders &output, RunReport &report, const QSet<QByteArray> &keptPages);

    const Workspace &m_workspace;
    const ProjectList &m_projects;
    const WorkingTemplates &m_templates;
    ProgressSink &m_sink;
    RunClock m_clock;
};

// "更新本集内容": rewrites every play page, leaves the index page alone and
// publishes only the selected project.
class ProjectUpdate
{
public:
    ProjectUpdate(const Workspace &workspace, const ProjectList &projects, const WorkingTemplates &templates,
                  ProgressSink &sink);

    void setClock(RunClock clock) { m_clock = std::move(clock); }
    // `selectedRow` is 0-based; -1 when nothing is selected.
    RunOutcome run(int selectedRow);

private:
    const Workspace &m_workspace;
    const ProjectList &m_projects;
    const WorkingTemplates &m_templates;
    ProgressSink &m_sink;
    RunClock m_clock;
};

} // namespace tessaly
