#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QLineEdit;

namespace tessaly {

class ProjectList;
class Workspace;

// The new project dialog (`Form2`, caption "添加"): a name, typed or filled
// by the folder chooser behind "...", and the chosen folder's path, which is
// never shown. "确定" creates the project in the list, as `tessaly-cli add`
// does, and then hands its name to `addProject`, which shows it.
class NewProjectDialog : public QDialog
{
    Q_OBJECT

public:
    using AddProject = std::function<void(const QString &name)>;

    NewProjectDialog(const Workspace &workspace, ProjectList &projects, AddProject addProject,
                     QWidget *parent = nullptr);

    QString name() const;
    const QString &episodeFolder() const { return m_episodeFolder; }

    // "...": the folder chooser, modal over this dialog.
    void chooseFolder();
    // Fills name and folder as the folder chooser does on "确定".
    void useFolder(const QString &name, const QString &path);
    // "确定", and Enter in a name box that is not empty.
    void confirm();

private:
    const Workspace &m_workspace;
    ProjectList &m_projects;
    AddProject m_addProject;
    QLineEdit *m_name = nullptr;
    QString m_episodeFolder;
};

} // namespace tessaly
