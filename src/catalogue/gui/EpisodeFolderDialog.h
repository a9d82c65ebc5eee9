#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QTreeView;

namespace tessaly {

class FolderListView;
class NameListModel;
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
    // Records the folder the user confirmed as the project's `File`, saying
    // why it cannot; true when recorded, and the dialog closes.
    using RecordFolder = std::function<bool(const QString &folder)>;

    EpisodeFolderDialog(const Workspace &workspace, QString project, RecordFolder recordFolder,
                        QWidget *parent = nullptr);

    FolderListView *folderList() const { return m_folders; }
    QTreeView *fileList() const { return m_files; }

    void confirm();

private:
    void showSelectedFolderFiles();

    const Workspace &m_workspace;
    QString m_project;
    RecordFolder m_recordFolder;
    FolderListView *m_folders = nullptr;
    QTreeView *m_files = nullptr;
    NameListModel *m_fileNames = nullptr;
};

} // namespace tessaly
