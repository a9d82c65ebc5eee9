#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>

namespace tessaly {

// What the window remembers of itself between starts, kept in the user's
// own configuration (never in a workspace): its geometry and, per
// workspace, the project last selected there.
class UserState
{
public:
    UserState();

    QByteArray windowGeometry() const;
    void setWindowGeometry(const QByteArray &geometry);

    // Empty when nothing is remembered for the workspace.
    QString lastProject(const QString &workspaceRoot) const;
    // An empty name forgets the workspace's project.
    void setLastProject(const QString &workspaceRoot, const QString &name);

    // The key of a workspace: its absolute path, made safe as one key.
    static QString workspaceKey(const QString &workspaceRoot);

private:
    QSettings m_settings;
};

} // namespace tessaly
