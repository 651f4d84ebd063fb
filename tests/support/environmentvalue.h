#pragma once
// Environment variables set for the length of a test.

#include <QByteArray>
#include <QtGlobal>

namespace testsupport {

// Sets (or, with an empty value, removes) an environment variable for the
// guard's life.
class EnvironmentValue
{
public:
    EnvironmentValue(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name))
    {
        value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvironmentValue() { m_had ? qputenv(m_name, m_previous) : qunsetenv(m_name); }
    EnvironmentValue(const EnvironmentValue &) = delete;
    EnvironmentValue &operator=(const EnvironmentValue &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_previous;
};

// No desktop session: nothing is started to show the archive.
struct NoDesktop
{
    EnvironmentValue display{"DISPLAY", {}};
    EnvironmentValue wayland{"WAYLAND_DISPLAY", {}};
};

} // namespace testsupport
