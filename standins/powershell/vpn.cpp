#include "vpn.h"

#include "commands.h"
#include "console.h"
#include "formatlist.h"

namespace powershell {

QStringList vpnConnectionLines(const QVector<VpnConnection> &connections)
{
    QVector<PropertyBlock> objects;
    for (const VpnConnection &connection : connections) {
        // Properties Linux has no counterpart for keep the value Windows
        // shows for a connection that does not set them.
        objects.append({
            {QStringLiteral("Name"), connection.name},
            {QStringLiteral("ServerAddress"), connection.serverAddress},
            {QStringLiteral("AllUserConnection"), powershellBool(true)},
            {QStringLiteral("Guid"), QString()},
            {QStringLiteral("TunnelType"), connection.tunnelType},
            {QStringLiteral("AuthenticationMethod"), QStringLiteral("{}")},
            {QStringLiteral("EncryptionLevel"), connection.tunnelType == QLatin1String("WireGuard")
                                                     ? QStringLiteral("Required")
                                                     : QString()},
            {QStringLiteral("L2tpIPsecAuth"), QString()},
            {QStringLiteral("UseWinlogonCredential"), powershellBool(false)},
            {QStringLiteral("EapConfigXmlStream"), QString()},
            {QStringLiteral("ConnectionStatus"),
             connection.connected ? QStringLiteral("Connected") : QStringLiteral("Disconnected")},
            {QStringLiteral("RememberCredential"), powershellBool(false)},
            {QStringLiteral("SplitTunneling"), powershellBool(connection.splitTunneling)},
            {QStringLiteral("DnsSuffix"), QString()},
            {QStringLiteral("IdleDisconnectSeconds"), QStringLiteral("0")},
        });
    }
    return formatList(objects);
}

int printVpnConnections()
{
    standin::writeOutLines(vpnConnectionLines(readVpnConnections(QStringLiteral("/"))));
    return 0;
}

} // namespace powershell
