#pragma once

#include <QByteArray>
#include <QStandardPaths>
#include <QString>

namespace tessaly::testing {

// Points the user's data folder (XDG_DATA_HOME) at `folder` for the life of
// the object, so a test of an installed copy never touches the real home.
// The tests' standard-paths test mode would hide the variable, so it is off
// meanwhile.
class DataHome
{
public:
    explicit DataHome(const QString &folder)
        : m_hadValue(qEnvironmentVariableIsSet("XDG_DATA_HOME")), m_oldValue(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", folder.toLocal8Bit());
        QStandardPaths::setTestModeEnabled(false);
    }
    ~DataHome()
    {
        QStandardPaths::setTestModeEnabled(m_wasTestMode);
        if (m_hadValue)
            qputenv("XDG_DATA_HOME", m_oldValue);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    DataHome(const DataHome &) = delete;
    DataHome &operator=(const DataHome &) = delete;

private:
    bool m_wasTestMode = QStandardPaths::isTestModeEnabled();
    bool m_hadValue;
    QByteArray m_oldValue;
};

} // namespace tessaly::testing
