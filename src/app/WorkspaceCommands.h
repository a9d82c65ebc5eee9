#pragma once

#include <QList>
#include <QString>

namespace tessaly {

class Workspace;

// The rules behind the main window's menu "菜单" and its link buttons: which
// folder each open command shows, what the clearing commands delete, and
// which link the site buttons open. The window asks and shows; these decide.
namespace workspace_commands {

struct FolderToOpen
{
    enum class Outcome
    {
        Nothing,
        Open,
        Missing
    };
    Outcome outcome = Outcome::Nothing;
    QString path;
};

// "编辑页面源码": the template folder of the page set in use (`Style`, or
// `Style/新版`), or Missing ("Style文件夹不存在!").
FolderToOpen styleFolder(const Workspace &workspace);
QString styleFolderMissingText();
// "打开影片文件夹" (`MovieFile`, without trailing separators) and
// "打开站点文件夹" (`WebFile`): nothing without `Setting.ini`; Missing for
// an empty value or a path that is not an existing folder.
FolderToOpen movieFolder(const Workspace &workspace);
FolderToOpen siteFolder(const Workspace &workspace);

// "清空缓存文件" and "清空日志".
struct FolderClearing
{
    QString folder;
    QString question;
    QString doneText;
};
FolderClearing cacheClearing(const Workspace &workspace);
FolderClearing logClearing(const Workspace &workspace);

struct ClearResult
{
    struct Failure
    {
        QString path;
        QString reason;
    };
    bool folderMissing = false;
    int deleted = 0;
    QList<Failure> failures;

    bool ok() const { return failures.isEmpty(); }
    // Each failure as its path, CR LF, the reason; failures joined by CR LF.
    QString failureText() const;
};

// Deletes the listed files of the folder, and only those: sub-folders and
// hidden files stay. A file that cannot be deleted is reported, the rest go.
ClearResult clearFolderFiles(const QString &folder);

// `WebLink` of `Setting.ini`; empty when the file is missing.
QString siteLink(const Workspace &workspace);
// Said by "打开影片站点链接" while there is no link to open.
QString siteLinkFirstText();

} // namespace workspace_commands
} // namespace tessaly
