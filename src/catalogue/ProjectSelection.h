#pragma once

#include <QString>
#include <QStringList>

namespace tessaly {

class Workspace;

// The rules that tie the project list's selection to the per-project
// commands: the chosen-project guard, the context menu's items, and what the
// details pane shows for the chosen project.

enum class GuardDecision
{
    Silent,       // empty list: there is nothing one could choose
    AskForChoice, // "请先选择要操作的项目!"
    GoOn,
};

// The details pane always shows the selected row, so a project is chosen
// exactly when a row is selected; the pane's caption is never consulted,
// and a project named "内容" is a project like any other.
GuardDecision chosenProjectGuard(int rowCount, bool projectChosen);
QString chooseProjectFirstText();

// Which items of the context menu `MB` show for a right click.
struct ProjectMenuPlan
{
    bool show = false;
    bool onlyNew = false;      // an empty list offers "新建" alone
    bool moveUpward = false;   // "移动到第一项", "上移"
    bool moveDownward = false; // "下移", "移动到最后项"
};

ProjectMenuPlan projectMenuPlan(int rowCount, int selectedRow);

// What the details pane shows for a project. A name that cannot be part of
// a file path shows as itself with nothing read for it; a folder that
// cannot be used shows as stored with no episodes.
struct ProjectDetails
{
    QString name;
    QString coverFile;     // the cover's path, empty when it has none
    QString episodeFolder; // `File` of its settings file, as stored
    bool usableFolder = true;
    QStringList episodes;              // the folder's episodes, in episode order
    QList<QByteArray> encodedEpisodes; // their names' bytes
    QStringList otherFiles;            // the folder's files that are not episodes
    bool checkVideos = true;           // `CheckVideos` of `Setting.ini`
};

ProjectDetails readProjectDetails(const Workspace &workspace, const QString &name);

// "打开文件路径": the folder to show, or why not.
struct ProjectFolder
{
    enum class Outcome
    {
        Nothing,
        Open,
        Missing,
        UnusableName,
        UnusableFolder
    };
    Outcome outcome = Outcome::Nothing;
    QString path;
};

ProjectFolder projectFolderToOpen(const Workspace &workspace, const QString &name);

} // namespace tessaly
