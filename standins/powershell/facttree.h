#pragma once
// Reading the system's fact files below a root folder: "/" on a running
// system, a prepared folder in tests.

#include <QList>
#include <QString>
#include <QStringList>

namespace powershell {

// root joined with a relative path such as "proc/net/route".
QString underRoot(const QString &root, const QString &relative);

// The non-empty lines of a file (none when it cannot be read).
QStringList nonEmptyLines(const QString &path);

// The blank- or tab-separated fields of a line.
QStringList whitespaceFields(const QString &line);

// The value of "KEY=value" in a file of such lines, quotes removed.
QString assignedValue(const QString &path, const QString &key);

// Whether a systemd unit is enabled, judged by its link in a ".wants" folder
// of /etc/systemd/system, as systemctl does.
bool unitEnabled(const QString &root, const QString &unit);

// An IPv4 default route of the main routing table (/proc/net/route).
struct DefaultRoute
{
    QString interfaceName;
    quint32 gateway = 0; // in this machine's byte order, as the file writes it
    bool viaGateway = false;
};
QList<DefaultRoute> ipv4DefaultRoutes(const QString &root);

} // namespace powershell
