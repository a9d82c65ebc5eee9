#pragma once

#include <QDialog>
#include <QString>

namespace tessaly {

class FolderListView;
class Workspace;

// The folder chooser (`Form7`): picks an episode folder below the movie root
// for the new project dialog. On "确定" it holds the folder's bare name and
// its absolute path; it writes no file.
class FolderChooserDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FolderChooserDialog(const Workspace &workspace, QWidget *parent = nullptr);

    const QString &chosenName() const { return m_chosenName; }
    const QString &chosenPath() const { return m_chosenPath; }

    FolderListView *folderList() const { return m_folders; }

private:
    void confirm();

    FolderListView *m_folders = nullptr;
    QString m_chosenName;
    QString m_chosenPath;
};

} // namespace tessaly
