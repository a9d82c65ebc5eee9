#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace tessaly::testing {

// Runs `body` in a child process whose files may not grow beyond `limit`
// bytes, with SIGXFSZ ignored, so that writes past it fail with EFBIG as on
// a full disk; needs no privileges. The child shares nothing with the test
// afterwards but the file system: the result is the body's return value
// (0 to 125), or -1 when the child did not exit normally.
int inChildWithFileSizeLimit(qint64 limit, const std::function<int()> &body);
// The same without a limit: for a body that may end the child at any point,
// as a program killed there would end.
int inChild(const std::function<int()> &body);

// A small tmpfs mounted on an existing folder for one test, unmounted at
// the end. Mounting needs privileges: check `isMounted()` and skip.
class SmallTmpfs
{
public:
    SmallTmpfs(const QString &folder, qint64 bytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    bool isMounted() const { return m_mounted; }
    // Writes a file of this name until the file system is full.
    void fill(const QString &fileName) const;

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

} // namespace tessaly::testing
