#include "app/UserState.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tessaly {

namespace {

const QString GeometryKey = QStringLiteral("Window/Geometry");
const QString ProjectsGroup = QStringLiteral("LastProject/");

} // namespace

UserState::UserState()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tessaly"),
                 QStringLiteral("Tessaly"))
{}

QByteArray UserState::windowGeometry() const
{
    return m_settings.value(GeometryKey).toByteArray();
}

void UserState::setWindowGeometry(const QByteArray &geometry)
{
    m_settings.setValue(GeometryKey, geometry);
}

QString UserState::lastProject(const QString &workspaceRoot) const
{
    return m_settings.value(ProjectsGroup + workspaceKey(workspaceRoot)).toString();
}

void UserState::setLastProject(const QString &workspaceRoot, const QString &name)
{
    const QString key = ProjectsGroup + workspaceKey(workspaceRoot);
    if (name.isEmpty())
        m_settings.remove(key);
    else
        m_settings.setValue(key, name);
}

QString UserState::workspaceKey(const QString &workspaceRoot)
{
    // "/" would open a group and some characters are special to the INI
    // format, so the path is percent-encoded whole.
    const QString absolute = QDir::cleanPath(QFileInfo(workspaceRoot).absoluteFilePath());
    return QString::fromLatin1(QUrl::toPercentEncoding(absolute));
}

} // namespace tessaly
