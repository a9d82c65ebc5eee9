#pragma once

#include "files/FileServices.h"

#include <QByteArray>
#include <QString>
#include <fcntl.h>
#include <optional>
#include <sys/types.h>
#include <vector>

// The system calls behind FileServices and OpenFolder, on open folders.
namespace tessaly::files::detail {

enum class DataSync
{
    Now,
    Later
};

// Writes the bytes to a new file with a fresh ".tessaly-XXXXXX" name in the
// folder and closes it, checking every call; a failure removes the file and
// leaves the error number of the failing call. `mode` < 0 keeps the default.
std::optional<QByteArray> writeTemporaryIn(int folder, const QByteArray &bytes, DataSync sync, int mode,
                                           int *error);
// A ".tessaly-" name with six random letters or digits, which may be taken.
QByteArray freshTemporaryName();
// Creates a new empty file with a fresh ".tessaly-XXXXXX" name in the folder
// and gives its descriptor (and the name), or -1 with the error number.
// `access` is O_WRONLY or O_RDWR.
int openTemporaryIn(int folder, int mode, QByteArray *name, int *error, int access = O_WRONLY);
// Writes all the bytes, going on after short writes.
bool writeAll(int fd, const char *data, qsizetype size, int *error);
// The files (or sub-folders) directly inside the open folder, in text order.
Listing listEntriesIn(int folder, bool folders, int *error);
// As `listEntriesIn`, for the folder at the path, opened for the listing
// alone; `opened` tells a folder that could not be opened from one that
// could not be read.
Listing listEntriesAt(const QByteArray &path, bool folders, NameOrder order, bool *opened, int *error);
// `flags` may add O_NOFOLLOW.
std::optional<QByteArray> readFileIn(int folder, const QByteArray &name, int *error, int flags = 0);
// Reads the open file to its end and closes it.
std::optional<QByteArray> readAndClose(int fd, qint64 sizeHint, int *error);
void countFileSystemSync();
// `naturalKey` appended to the keys of a whole listing, which then need one
// allocation; gives its size.
qsizetype appendNaturalKey(QStringView folded, std::vector<char32_t> &keys);
// Below zero when the first of two natural keys sorts first, zero for equal keys.
int compareNaturalKeys(const char32_t *first, qsizetype firstSize, const char32_t *second,
                       qsizetype secondSize);
// The comparison of the two names' natural keys, made without the keys.
int compareNatural(QStringView firstFolded, QStringView secondFolded);

} // namespace tessaly::files::detail
