#pragma once

#include "files/NaturalOrder.h"
#include "files/Outcome.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The file and folder services every subsystem uses. Failures come back as a
// `Failure` holding the path acted on and the reason (see files/Reasons.h).
namespace tessaly::files {

// True for any regular file, hidden (dot-named) or not; false for folders.
bool plainFileExists(const QString &path);
// True when something exists at the path: a folder, or a plain file.
bool pathExists(const QString &path);
// True only for an existing folder; false for an empty path and for a file.
bool folderExists(const QString &path);

// Why the folder cannot be listed: "文件夹不存在" (nothing there, or a
// dangling link), "不是文件夹", or the file system's reason; empty when it
// can be opened.
QString whyFolderCannotBeListed(const QString &folder);

// A dot-named file or folder is hidden on this platform.
bool isHiddenName(const QString &name);

Outcome<void> makeFolder(const QString &path);
// A folder only its owner may read or enter, as the user's own data folders are.
Outcome<void> makePrivateFolder(const QString &path);
Outcome<void> deleteFile(const QString &path);
// Writes a file that must survive a crash once written (the project list,
// a settings file, a chosen cover, a template, a run log): the bytes go to
// a short hidden temporary name beside the file, every write is checked,
// the data is synced to the disk and checked, and only then is the file
// replaced, so it is either the old file or the whole new one. A link at
// the path is written through: the file it leads to is replaced. Files the
// program generates go through `OpenFolder::writeFile` instead, without a
// sync of their own.
Outcome<void> writeFileAtomically(const QString &path, const QByteArray &bytes);
// Reads the source whole and writes it as `writeFileAtomically` does. The
// failure names the source when it cannot be read, the target otherwise.
Outcome<void> copyFileReplacing(const QString &source, const QString &target);
Outcome<QByteArray> readFileBytes(const QString &path);
// The bytes of the regular file at the path, read with one open: an empty
// optional where `plainFileExists` is false (the file is missing), a
// failure when the file is there but cannot be read.
Outcome<std::optional<QByteArray>> readPlainFile(const QString &path);

struct Listing
{
    QStringList entries;
    // The names as the file system holds them, in the same order: what acts
    // on a listed file uses these, because a name that is not valid UTF-8
    // does not survive decoding.
    QList<QByteArray> encodedEntries;
    // Why the folder could not be listed, naming the folder; entries are
    // then empty.
    std::optional<Failure> failure;
    bool ok() const { return !failure; }
};

// Names (without path) of the non-hidden files directly inside the folder.
Listing listFiles(const QString &folder, NameOrder order = NameOrder::Text);
// As `listFiles`, opening the folder once; `isFolder` is set as
// `folderExists` would say, and only a folder gives an error.
Listing listFilesIfFolder(const QString &folder, bool *isFolder, NameOrder order = NameOrder::Text);
// Full paths of the non-hidden sub-folders of the folder.
Listing listFolders(const QString &folder, NameOrder order = NameOrder::Text);

// Text order (`NameOrder::Text`): names compared after simple case folding, by UTF-16 code
// unit, ties broken by the unfolded names, then by the names' bytes (names
// that are not valid UTF-8 can decode alike). Never by locale.
bool nameLess(const QString &first, const QString &second);
void sortNames(QStringList &names, NameOrder order = NameOrder::Text);

// Joins a folder and a name with exactly one native separator.
QString joinPath(const QString &folder, const QString &name);
// A folder path without trailing separators; the root "/" stays "/".
QString withoutTrailingSeparators(const QString &path);

// How many data syncs (one file) and file-system syncs the program has made:
// generated files are synced together, so a run's count stays small.
struct SyncCounts
{
    int fileSyncs = 0;
    int fileSystemSyncs = 0;
};
SyncCounts syncCounts();

} // namespace tessaly::files
