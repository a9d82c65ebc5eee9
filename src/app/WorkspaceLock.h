#pragma once

#include <QLockFile>
#include <QString>

namespace tessaly {

class Workspace;

// One process per workspace: the window holds this lock while it is open,
// the command line while its command runs. The lock file is a dot-file so
// no lister shows it.
class WorkspaceLock
{
public:
    explicit WorkspaceLock(const Workspace &workspace);

    // False when another live process holds the workspace.
    bool acquire();
    // The workspace folder, CR LF, and why it cannot be used now.
    static QString busyText(const QString &workspaceFolder);

private:
    QLockFile m_lock;
};

} // namespace tessaly
