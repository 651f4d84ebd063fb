#pragma once
// The machine's VPN-like interfaces (WireGuard, tun/tap, ppp) shown the way
// Get-VpnConnection lists the Windows VPN connections.

#include <QString>
#include <QVector>

namespace powershell {

struct VpnConnection
{
    QString name;
    QString tunnelType;    // "WireGuard", "Tun", "Tap" or "Ppp"
    QString serverAddress; // from the interface's configuration, when readable
    bool connected = false;
    bool splitTunneling = true; // false when all traffic goes through it
};

// The VPN-like interfaces under root ("/": sys, proc and etc below it),
// by name.
QVector<VpnConnection> readVpnConnections(const QString &root);

// The Format-List lines of the connections; none gives no line.
QStringList vpnConnectionLines(const QVector<VpnConnection> &connections);

} // namespace powershell
