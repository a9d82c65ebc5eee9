#pragma once

#include "catalogue/ProjectCreation.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QLineEdit;

namespace tessaly {

class Workspace;

// The new project dialog (`Form2`, caption "添加"): a name, typed or filled
// by the folder chooser behind "...", and the chosen folder's path, which is
// never shown. "确定" hands both to `createProject`, which creates the
// project as `tessaly-cli add` does, says why it cannot, and shows it.
class NewProjectDialog : public QDialog
{
    Q_OBJECT

public:
    // True when the project was created; the dialog then closes.
    using CreateProject = std::function<bool(const NewProject &project)>;

    NewProjectDialog(const Workspace &workspace, CreateProject createProject, QWidget *parent = nullptr);

    QString name() const;
    const QString &episodeFolder() const { return m_episodeFolder; }

    // "...": the folder chooser, modal over this dialog.
    void chooseFolder();
    // Fills name and folder as the folder chooser does on "确定"; a season
    // or disc folder is named after its series too.
    void useFolder(const QString &name, const QString &path);
    // "确定", and Enter in a name box that is not empty.
    void confirm();

private:
    const Workspace &m_workspace;
    CreateProject m_createProject;
    QLineEdit *m_name = nullptr;
    QString m_episodeFolder;
};

} // namespace tessaly
