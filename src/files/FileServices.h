#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The file and folder services every subsystem uses. Failures come back as a
// reason text (the system's own wording) so callers can report path and cause.
namespace tessaly::files {

// True for any regular file, hidden (dot-named) or not; false for folders.
bool plainFileExists(const QString &path);
// True when something exists at the path: a folder, or a plain file.
bool directoryExists(const QString &path);
// True only for an existing folder; false for an empty path and for a file.
bool folderExists(const QString &path);

// A dot-named file or folder is hidden on this platform.
bool isHiddenName(const QString &name);

bool makeFolder(const QString &path, QString *reason = nullptr);
bool deleteFile(const QString &path, QString *reason = nullptr);
// Copies under a temporary name beside the target, then renames over it, so
// the target is either the old file or the whole new one.
bool copyFileReplacing(const QString &source, const QString &target, QString *reason = nullptr);
// Writes the bytes whole and replaces the file atomically.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *reason = nullptr);
std::optional<QByteArray> readFileBytes(const QString &path, QString *reason = nullptr);
// True when both files exist and hold the same bytes.
bool sameContents(const QString &first, const QString &second);

struct Listing
{
    QStringList entries;
    QString error; // empty when the folder could be listed
    bool ok() const { return error.isEmpty(); }
};

// Names (without path) of the non-hidden files directly inside the folder.
Listing listFiles(const QString &folder);
// Full paths of the non-hidden sub-folders of the folder.
Listing listFolders(const QString &folder);

// Listing order: names compared after simple case folding, by UTF-16 code
// unit, ties broken by the unfolded names. Never by locale.
bool nameLess(const QString &first, const QString &second);
void sortNames(QStringList &names);

// Joins a folder and a name with exactly one native separator.
QString joinPath(const QString &folder, const QString &name);
// A folder path without trailing separators; the root "/" stays "/".
QString withoutTrailingSeparators(const QString &path);

} // namespace tessaly::files
