#pragma once
// The machine's network configuration as "ipconfig /all" shows it: the host
// part, then one section per adapter.

#include <QString>
#include <QStringList>
#include <QVector>

namespace powershell {

struct Ipv4Address
{
    QString interfaceName;
    QString address;
    QString subnetMask;
};

struct Ipv6Address
{
    QString address; // compressed text form
    int scope = 0;   // the kernel's scope: 0x00 global, 0x20 link-local
    int flags = 0;   // the kernel's address flags (temporary, tentative, ...)
};

struct NetworkAdapter
{
    QString name;
    int index = 0;
    QString kind;           // "Ethernet", "Wireless LAN", "Tunnel" or "Unknown"
    QString description;
    QString physicalAddress; // "aa:bb:cc:dd:ee:ff" as the kernel writes it, or empty
    bool connected = false;
    bool dhcpEnabled = false;
    QString dhcpServer;
    bool autoconfiguration = false;
    QVector<Ipv4Address> ipv4;
    QVector<Ipv6Address> ipv6;
    QStringList defaultGateways; // IPv6 ones first, as ipconfig lists them
    QStringList dnsServers;
};

struct NetworkFacts
{
    QString hostName;
    QString primaryDnsSuffix;
    bool ipRouting = false;
    QStringList searchList;
    QString connectionDnsSuffix;
    QVector<NetworkAdapter> adapters; // by interface index, loopback left out
};

// The IPv4 addresses the kernel holds, one per address (aliases fold into
// their interface).
QVector<Ipv4Address> kernelIpv4Addresses();

// Reads the host and adapter facts under root ("/": proc, sys, etc and run
// below it); the IPv4 addresses come from the kernel call above because no
// file lists them per interface.
NetworkFacts readNetworkFacts(const QString &root, const QVector<Ipv4Address> &ipv4);

// One text line of the host or adapter part: the label with its dot leader
// up to the value column, then the value.
QString ipconfigField(const QString &label, const QString &value);

// The full ipconfig /all listing.
QStringList ipconfigLines(const NetworkFacts &facts);

} // namespace powershell
