#pragma once

#include "files/FileServices.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tessaly::files {

// A folder opened once, for work on the files directly inside it. Files are
// named relative to the open folder, so a link swapped in for the folder
// (or for one above it) while the work goes on cannot send it elsewhere,
// and a link inside the folder is never written through: it is replaced.
// Names are the file system's bytes, so names that are not valid UTF-8 are
// reached too.
class OpenFolder
{
public:
    OpenFolder() = default;
    // Opens the folder at the path; links on the way are followed, as the
    // path is the user's own choice.
    explicit OpenFolder(const QString &path);
    ~OpenFolder();
    OpenFolder(OpenFolder &&other) noexcept;
    OpenFolder &operator=(OpenFolder &&other) noexcept;
    OpenFolder(const OpenFolder &) = delete;
    OpenFolder &operator=(const OpenFolder &) = delete;

    // A sub-folder of this one, made first when `create` is set and it is
    // missing. A link to a folder is followed only when it stays inside
    // this folder: otherwise the result is not open and `isOutside()`, and
    // the caller words why.
    OpenFolder subfolder(const QString &name, bool create) const;
    // A sub-folder that is a folder itself, made first when `create` is set
    // and nothing has the name: a link, even to a folder inside, is not
    // opened.
    OpenFolder plainSubfolder(const QByteArray &name, bool create) const;
    // The same by the name as text.
    OpenFolder plainSubfolder(const QString &name, bool create) const;
    // This folder once more, open on its own.
    OpenFolder duplicate() const;

    bool isOpen() const { return m_fd >= 0; }
    bool isOutside() const { return m_outside; }
    // Why the folder is not open.
    const QString &error() const { return m_error; }
    const QString &path() const { return m_path; }
    QString pathOf(const QByteArray &name) const;
    static QByteArray nameOf(const QString &name);

    // The files of the folder, as `files::listFiles` lists them.
    Listing listFiles() const { return listEntries(false); }
    // Its non-hidden sub-folders and links to folders, in text order.
    Listing listFolders() const { return listEntries(true); }
    // True for a regular file, or a link to one.
    bool holdsFile(const QByteArray &name) const;
    // The size of a regular file, or of the one a link leads to; nothing
    // for anything else.
    std::optional<qint64> fileSize(const QByteArray &name) const;
    // A regular file's size and modification time (in nanoseconds), of the
    // file a link leads to when `followLinks` is set; nothing for anything
    // else. A file changed in place changes one or the other.
    struct Stamp
    {
        qint64 size = 0;
        qint64 modified = 0;
        bool operator==(const Stamp &) const = default;
    };
    std::optional<Stamp> fileStamp(const QByteArray &name, bool followLinks = true) const;
    // True for anything but a folder, a dangling link included.
    bool holdsEntry(const QByteArray &name) const;
    // True for anything at all under the name, a folder included.
    bool holdsName(const QByteArray &name) const;
    // Tells file systems apart: the folders of one file system give one value.
    quint64 fileSystem() const;
    // True when both are open on one folder, however each was reached.
    bool isSameFolderAs(const OpenFolder &other) const;
    // True when both are open and this folder is `outer` or lies below it.
    bool liesWithin(const OpenFolder &outer) const;
    // True when the name is a regular file itself (never a link) that holds
    // exactly these bytes.
    bool holdsSameBytes(const QByteArray &name, const QByteArray &bytes) const;
    // Failures of the calls below name the file acted on (`pathOf` the name
    // written, removed or read), or the folder itself for what concerns all
    // of it; a folder that is not open fails with `error()`.
    Outcome<QByteArray> readFile(const QByteArray &name) const;

    // The bytes under a fresh short hidden name (see `isTemporaryName`), not
    // synced: the caller syncs the file system before it renames them into
    // place. The file gets the permissions of the regular file `replacing`,
    // when there is one. Returns the name.
    Outcome<QByteArray> writeTemporary(const QByteArray &bytes, const QByteArray &replacing) const;
    // A new empty file under a fresh short hidden name (see
    // `isTemporaryName`), open for reading and writing, for a writer that
    // needs the descriptor itself; the caller closes it, and renames or
    // removes the name.
    struct Temporary
    {
        int fd = -1;
        QByteArray name;
    };
    Outcome<Temporary> createTemporary() const;
    // The bytes an unprivileged writer may still put on the folder's file system.
    Outcome<qint64> freeSpace() const;
    // Renames within the folder, over whatever file or link has the name `to`.
    Outcome<void> rename(const QByteArray &from, const QByteArray &to) const;
    // Removes a file or a link (never what it points to).
    Outcome<void> remove(const QByteArray &name) const;
    // Removes an empty sub-folder (never a link). One that still holds
    // something stays, which is no failure.
    Outcome<void> removeFolder(const QByteArray &name) const;
    // A second name `to` for the file or link `from` (the link itself, never
    // what it points to). Never replaces: a taken name fails with the reason
    // of EEXIST.
    Outcome<void> link(const QByteArray &from, const QByteArray &to) const;
    // As `link`, under a fresh short hidden name (see `isTemporaryName`),
    // which it returns.
    Outcome<QByteArray> linkTemporary(const QByteArray &from) const;
    // True when both names lead to one entry of the file system: two links
    // of one file, or one name in two spellings where letter case is ignored.
    bool holdsSameFile(const QByteArray &first, const QByteArray &second) const;
    // A generated file, not synced: written under the name when the name is
    // free, otherwise as `replaceFile` writes it. A program killed while it
    // writes leaves the part written under the name: for files the next run
    // writes again.
    Outcome<void> writeFile(const QByteArray &name, const QByteArray &bytes) const;
    // A file, not synced, written beside the name and renamed over it: the
    // name holds the whole of it or what it held before, even when the
    // program is killed meanwhile.
    Outcome<void> replaceFile(const QByteArray &name, const QByteArray &bytes) const;
    // A generated file written in pieces, as `writeFile` writes it whole.
    class StreamedFile;

    // Removes the temporary files an interrupted run left.
    void removeTemporaries() const;
    // Syncs the whole file system the folder lies on.
    Outcome<void> syncFileSystem() const;

    // ".tessaly-" and six letters or digits.
    static bool isTemporaryName(const QByteArray &name);

private:
    Listing listEntries(bool folders) const;
    // The failure of a call on the named file (the folder itself for an
    // empty name) that left the error number; `error()` when not open.
    Failure failureAt(const QByteArray &name, int error) const;
    OpenFolder openSubfolder(const QString &name, bool create, bool followLink) const;

    int m_fd = -1;
    QString m_path;
    QString m_error;
    bool m_outside = false;
};

// Writes a file too large to hold whole in memory: the pieces go to a
// temporary file as they come, every write checked, and `commit` renames it
// over the name. The first failure is kept and reported by `commit`; a file
// never committed is removed.
class OpenFolder::StreamedFile
{
public:
    StreamedFile(const OpenFolder &folder, const QByteArray &name);
    ~StreamedFile();
    StreamedFile(const StreamedFile &) = delete;
    StreamedFile &operator=(const StreamedFile &) = delete;

    void append(QByteArrayView bytes);
    // The failure names the file.
    Outcome<void> commit();

private:
    void flushBuffer();

    const OpenFolder &m_folder;
    QByteArray m_name;
    QByteArray m_temporary;
    QByteArray m_buffer;
    int m_fd = -1;
    int m_error = 0;
};

} // namespace tessaly::files
