#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace tessaly::testing {

// Sets one environment variable, or unsets it when given nothing, for the
// life of the object, and then puts back what was there.
class EnvironmentValue
{
public:
    EnvironmentValue(const char *name, const std::optional<QByteArray> &value)
        : m_name(name), m_hadValue(qEnvironmentVariableIsSet(name)), m_oldValue(qgetenv(name))
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvironmentValue()
    {
        if (m_hadValue)
            qputenv(m_name, m_oldValue);
        else
            qunsetenv(m_name);
    }
    EnvironmentValue(const EnvironmentValue &) = delete;
    EnvironmentValue &operator=(const EnvironmentValue &) = delete;

private:
    const char *m_name;
    bool m_hadValue;
    QByteArray m_oldValue;
};

// Points the user's data folder (XDG_DATA_HOME) at `folder` for the life of
// the object, so a test of an installed copy never touches the real home.
class DataHome
{
public:
    explicit DataHome(const QString &folder) : m_value("XDG_DATA_HOME", QFile::encodeName(folder)) {}

private:
    EnvironmentValue m_value;
};

} // namespace tessaly::testing
