#include "vpn.h"

#include "console.h"
#include "facttree.h"

#include <QDir>
#include <QDirIterator>

#include <net/if_arp.h>

#include <algorithm>

namespace powershell {

namespace {

QString interfaceFile(const QString &root, const QString &name, const char *file)
{
    return underRoot(root, QStringLiteral("sys/class/net/") + name + QLatin1Char('/') + QLatin1String(file));
}

// The value of "Key = value" in a WireGuard configuration.
QStringList wireGuardValues(const QString &config, const QString &key)
{
    QStringList values;
    for (const QString &line : config.split(QLatin1Char('\n'))) {
        if (line.section(QLatin1Char('='), 0, 0).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            values << line.section(QLatin1Char('='), 1).trimmed();
    }
    return values;
}

// The "remote" of the OpenVPN configuration whose "dev" is this interface.
QString openVpnServer(const QString &root, const QString &name)
{
    QDirIterator files(underRoot(root, QStringLiteral("etc/openvpn")), {QStringLiteral("*.conf"), QStringLiteral("*.ovpn")},
                       QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QString device;
        QString remote;
        for (const QString &line : nonEmptyLines(files.next())) {
            const QStringList words = whitespaceFields(line);
            if (words.size() >= 2 && words.first() == QLatin1String("dev"))
                device = words.at(1);
            if (words.size() >= 2 && words.first() == QLatin1String("remote") && remote.isEmpty())
                remote = words.at(1);
        }
        if (device == name)
            return remote;
    }
    return QString();
}

bool defaultRouteThrough(const QString &root, const QString &name)
{
    const QList<DefaultRoute> routes = ipv4DefaultRoutes(root);
    return std::any_of(routes.cbegin(), routes.cend(), [&name](const DefaultRoute &r) { return r.interfaceName == name; });
}

QString tunnelType(const QString &root, const QString &name)
{
    constexpr int kTapFlag = 0x0002;
    for (const QString &line : nonEmptyLines(interfaceFile(root, name, "uevent")))
        if (line == QLatin1String("DEVTYPE=wireguard"))
            return QStringLiteral("WireGuard");
    const QString tunFlags = standin::readTrimmed(interfaceFile(root, name, "tun_flags"));
    if (!tunFlags.isEmpty())
        return (tunFlags.toInt(nullptr, 16) & kTapFlag) ? QStringLiteral("Tap") : QStringLiteral("Tun");
    if (standin::readTrimmed(interfaceFile(root, name, "type")).toInt() == ARPHRD_PPP)
        return QStringLiteral("Ppp");
    return QString();
}

} // namespace

QVector<VpnConnection> readVpnConnections(const QString &root)
{
    constexpr int kUpFlag = 0x1;
    QVector<VpnConnection> connections;
    const QStringList names = QDir(underRoot(root, QStringLiteral("sys/class/net")))
                                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString &name : names) {
        VpnConnection connection;
        connection.name = name;
        connection.tunnelType = tunnelType(root, name);
        if (connection.tunnelType.isEmpty())
            continue;
        const bool up = standin::readTrimmed(interfaceFile(root, name, "flags")).toInt(nullptr, 16) & kUpFlag;
        connection.connected = up && standin::readTrimmed(interfaceFile(root, name, "carrier")) == QLatin1String("1");
        connection.splitTunneling = !defaultRouteThrough(root, name);

        if (connection.tunnelType == QLatin1String("WireGuard")) {
            const QString config = standin::readText(underRoot(root, QStringLiteral("etc/wireguard/") + name + QStringLiteral(".conf")));
            connection.serverAddress = wireGuardValues(config, QStringLiteral("Endpoint")).value(0);
            // wg-quick routes everything through the tunnel by a rule of its
            // own when the peer is allowed every address.
            const QString allowed = wireGuardValues(config, QStringLiteral("AllowedIPs")).join(QLatin1Char(','));
            if (allowed.contains(QLatin1String("0.0.0.0/0")) || allowed.contains(QLatin1String("::/0")))
                connection.splitTunneling = false;
        } else if (connection.tunnelType != QLatin1String("Ppp")) {
            connection.serverAddress = openVpnServer(root, name);
        }
        connections.append(connection);
    }
    return connections;
}

} // namespace powershell
