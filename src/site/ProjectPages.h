#pragma once

#include "site/Placeholders.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tessaly {

class OutputFolders;
class RunReport;
class Workspace;
struct WorkingTemplates;

// What one project's episode folder gives its pages.
struct ProjectContent
{
    QString name;
    QString relativeFolder;
    QByteArray firstEpisode;  // the file name's bytes
    QString episodeCount;     // empty when the folder is unset, missing or unreadable
    QString buttonList;       // the buttons, joined by CR LF
    QString functionList;     // the functions, joined by CR LF
    QStringList episodeFiles; // each episode's path, in the order of the page
};

// A listed project as a run finds it before anything is cleared: whether its
// name can name files, and its episode folder from its settings file, or
// why that file could not be read (the project is then skipped and keeps
// its old page and cover).
struct ProjectSource
{
    QString name;
    bool usableName = true;
    QString episodeFolder;
    QString settingsFile;     // set when it could not be read
    QString unreadableReason; // empty when the settings file was read or is missing

    bool skipped() const { return !usableName || !unreadableReason.isEmpty(); }
};

// Every listed project's source, in list order.
QList<ProjectSource> readProjectSources(const Workspace &workspace, const QStringList &names);

// The per-project work shared by whole-site generation and the project
// update: cover, episode listing and the play page.
class ProjectPages
{
public:
    enum class Lines
    {
        WholeSite,
        Update
    };

    ProjectPages(const Workspace &workspace, const OutputFolders &output, const WorkingTemplates &templates,
                 const QString &movieRoot, RunReport &report, Lines lines);

    // "读取<name>文件路径..."; for a skipped project its failure line, and
    // false. The caller then goes on with the next project.
    bool announce(const ProjectSource &source);
    // From the relative path line to the episode lists; writes the default
    // cover when the project has none.
    ProjectContent read(const ProjectSource &source);
    // The cover cell of the index page, without row break.
    QString coverCell(const ProjectContent &content) const;
    // "影片<name>播放页面内容生成..." and the play page itself.
    void writePlayPage(const ProjectContent &content);

private:
    void ensureCover(const QString &name);
    void listEpisodes(const QString &folder, ProjectContent &content);

    const Workspace &m_workspace;
    const OutputFolders &m_output;
    const WorkingTemplates &m_templates;
    QString m_movieRoot;
    RunReport &m_report;
    Lines m_lines;
    TemplateFiller m_function;
    TemplateFiller m_button;
    TemplateFiller m_coverCell;
    TemplateFiller m_playPage;
};

} // namespace tessaly
