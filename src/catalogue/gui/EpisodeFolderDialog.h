#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QTreeWidget;

namespace tessaly {

class FolderListView;
class Workspace;

// The episode folder chooser (`Form3`, caption "选择"): binds a project to a
// folder below the movie root. The folders of the current level are on the
// left; the right shows the files of the selected folder, following the
// selection however it moves, so "确定" records exactly the folder whose
// files the user saw.
class EpisodeFolderDialog : public QDialog
{
    Q_OBJECT

public:
    // Called after `File` was written, with the recorded folder.
    using FolderRecorded = std::function<void(const QString &folder)>;

    EpisodeFolderDialog(const Workspace &workspace, QString project, FolderRecorded folderRecorded,
                        QWidget *parent = nullptr);

    FolderListView *folderList() const { return m_folders; }
    QTreeWidget *fileList() const { return m_files; }

    void confirm();

private:
    void showSelectedFolderFiles();

    const Workspace &m_workspace;
    QString m_project;
    FolderRecorded m_folderRecorded;
    FolderListView *m_folders = nullptr;
    QTreeWidget *m_files = nullptr;
};

} // namespace tessaly
