#include "network.h"

#include "console.h"
#include "facttree.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if_arp.h>
#include <netinet/in.h>

#include <algorithm>
#include <memory>

namespace powershell {

namespace {

QString interfaceFile(const QString &root, const QString &name, const QString &file)
{
    return underRoot(root, QStringLiteral("sys/class/net/") + name + QLatin1Char('/') + file);
}

QString ipv4Text(const sockaddr *address)
{
    if (!address || address->sa_family != AF_INET)
        return QString();
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(address)->sin_addr, text, sizeof text);
    return QString::fromLatin1(text);
}

// A route's address, held in this machine's byte order.
QString ipv4FromRouteValue(quint32 value)
{
    in_addr address{};
    address.s_addr = static_cast<in_addr_t>(value);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return QString::fromLatin1(text);
}

// 32 hexadecimal digits (if_inet6, ipv6_route) to the compressed text form.
QString ipv6FromHex(const QString &hex)
{
    if (hex.size() != 32)
        return QString();
    in6_addr address{};
    for (int i = 0; i < 16; ++i)
        address.s6_addr[i] = static_cast<uint8_t>(hex.midRef(2 * i, 2).toUInt(nullptr, 16));
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, &address, text, sizeof text);
    return QString::fromLatin1(text);
}

QString adapterKind(const QString &root, const QString &name, int type)
{
    switch (type) {
    case ARPHRD_ETHER:
        return QFileInfo::exists(interfaceFile(root, name, QStringLiteral("wireless")))
                       || QFileInfo::exists(interfaceFile(root, name, QStringLiteral("phy80211")))
                   ? QStringLiteral("Wireless LAN")
                   : QStringLiteral("Ethernet");
    case ARPHRD_TUNNEL:
    case ARPHRD_TUNNEL6:
    case ARPHRD_SIT:
    case ARPHRD_IPGRE:
        return QStringLiteral("Tunnel");
    default:
        return QStringLiteral("Unknown");
    }
}

QString ueventValue(const QString &path, const QString &key)
{
    return assignedValue(path, key);
}

// Linux knows no product names of its own; the driver (or the kind of a
// virtual device) is the nearest description.
QString adapterDescription(const QString &root, const QString &name)
{
    const QString driver = QFileInfo(interfaceFile(root, name, QStringLiteral("device/driver"))).symLinkTarget();
    if (!driver.isEmpty())
        return QFileInfo(driver).fileName();
    const QString deviceType = ueventValue(interfaceFile(root, name, QStringLiteral("uevent")), QStringLiteral("DEVTYPE"));
    if (!deviceType.isEmpty())
        return deviceType;
    if (QFileInfo::exists(interfaceFile(root, name, QStringLiteral("tun_flags"))))
        return QStringLiteral("tun");
    return QStringLiteral("Virtual network interface");
}

QStringList nameServers(const QString &path)
{
    QStringList servers;
    for (const QString &line : nonEmptyLines(path)) {
        const QStringList fields = whitespaceFields(line);
        if (fields.size() >= 2 && fields.first() == QLatin1String("nameserver"))
            servers << fields.at(1);
    }
    return servers;
}

QStringList resolverValues(const QString &path, const QString &keyword)
{
    QStringList values;
    for (const QString &line : nonEmptyLines(path)) {
        QStringList fields = whitespaceFields(line);
        if (!fields.isEmpty() && fields.first() == keyword)
            values << fields.mid(1);
    }
    return values;
}

// Behind a local caching resolver the upstream servers are the real ones.
QStringList dnsServers(const QString &root)
{
    const QStringList servers = nameServers(underRoot(root, QStringLiteral("etc/resolv.conf")));
    const bool onlyLocalStub = !servers.isEmpty() && std::all_of(servers.cbegin(), servers.cend(), [](const QString &s) {
        return s.startsWith(QLatin1String("127."));
    });
    if (onlyLocalStub) {
        const QStringList upstream = nameServers(underRoot(root, QStringLiteral("run/systemd/resolve/resolv.conf")));
        if (!upstream.isEmpty())
            return upstream;
    }
    return servers;
}

struct DhcpLease
{
    bool found = false;
    QString server;
};

// A lease held by systemd-networkd or dhclient marks the adapter as
// configured by DHCP.
DhcpLease dhcpLease(const QString &root, const QString &name, int index)
{
    const QString networkd = underRoot(root, QStringLiteral("run/systemd/netif/leases/") + QString::number(index));
    if (QFileInfo::exists(networkd))
        return {true, ueventValue(networkd, QStringLiteral("SERVER_ADDRESS"))};

    const QStringList candidates{QStringLiteral("var/lib/dhcp/dhclient.") + name + QStringLiteral(".leases"),
                                 QStringLiteral("var/lib/dhcp/dhclient.leases")};
    for (const QString &candidate : candidates) {
        const QString text = standin::readText(underRoot(root, candidate));
        if (!text.contains(QStringLiteral("interface \"") + name + QLatin1Char('"')))
            continue;
        DhcpLease lease{true, QString()};
        // The last lease in the file is the current one.
        static const QRegularExpression server(QStringLiteral("option dhcp-server-identifier ([0-9.]+);"));
        for (QRegularExpressionMatchIterator it = server.globalMatch(text); it.hasNext();)
            lease.server = it.next().captured(1);
        return lease;
    }
    return {};
}

void addIpv6Addresses(const QString &root, QVector<NetworkAdapter> &adapters)
{
    // address, index, prefix length, scope, flags, name
    for (const QString &line : nonEmptyLines(underRoot(root, QStringLiteral("proc/net/if_inet6")))) {
        const QStringList fields = whitespaceFields(line);
        if (fields.size() < 6)
            continue;
        for (NetworkAdapter &adapter : adapters)
            if (adapter.name == fields.at(5))
                adapter.ipv6.append({ipv6FromHex(fields.at(0)), fields.at(3).toInt(nullptr, 16),
                                     fields.at(4).toInt(nullptr, 16)});
    }
}

void addDefaultGateways(const QString &root, QVector<NetworkAdapter> &adapters)
{
    // destination, prefix, source, prefix, next hop, metric, refs, use, flags, name
    for (const QString &line : nonEmptyLines(underRoot(root, QStringLiteral("proc/net/ipv6_route")))) {
        const QStringList fields = whitespaceFields(line);
        if (fields.size() < 10 || fields.at(1) != QLatin1String("00")
            || fields.at(0) != QString(32, QLatin1Char('0')) || fields.at(4) == QString(32, QLatin1Char('0')))
            continue;
        for (NetworkAdapter &adapter : adapters) {
            if (adapter.name != fields.at(9))
                continue;
            QString gateway = ipv6FromHex(fields.at(4));
            if (gateway.startsWith(QLatin1String("fe80:")))
                gateway += QLatin1Char('%') + QString::number(adapter.index);
            if (!adapter.defaultGateways.contains(gateway))
                adapter.defaultGateways << gateway;
        }
    }
    for (const DefaultRoute &route : ipv4DefaultRoutes(root)) {
        if (!route.viaGateway)
            continue;
        const QString gateway = ipv4FromRouteValue(route.gateway);
        for (NetworkAdapter &adapter : adapters)
            if (adapter.name == route.interfaceName && !adapter.defaultGateways.contains(gateway))
                adapter.defaultGateways << gateway;
    }
}

} // namespace

QVector<Ipv4Address> kernelIpv4Addresses()
{
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, freeifaddrs);

    QVector<Ipv4Address> addresses;
    for (const ifaddrs *entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        addresses.append({QString::fromLocal8Bit(entry->ifa_name).section(QLatin1Char(':'), 0, 0),
                          ipv4Text(entry->ifa_addr), ipv4Text(entry->ifa_netmask)});
    }
    return addresses;
}

NetworkFacts readNetworkFacts(const QString &root, const QVector<Ipv4Address> &ipv4)
{
    NetworkFacts facts;
    facts.hostName = standin::readTrimmed(underRoot(root, QStringLiteral("proc/sys/kernel/hostname")));
    const QString domain = standin::readTrimmed(underRoot(root, QStringLiteral("proc/sys/kernel/domainname")));
    if (domain != QLatin1String("(none)"))
        facts.primaryDnsSuffix = domain;
    facts.ipRouting = standin::readTrimmed(underRoot(root, QStringLiteral("proc/sys/net/ipv4/ip_forward"))) == QLatin1String("1");
    const QString resolvConf = underRoot(root, QStringLiteral("etc/resolv.conf"));
    facts.searchList = resolverValues(resolvConf, QStringLiteral("search"));
    facts.connectionDnsSuffix = resolverValues(resolvConf, QStringLiteral("domain")).value(0);
    const QStringList servers = dnsServers(root);

    const QStringList names = QDir(underRoot(root, QStringLiteral("sys/class/net"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QString &name : names) {
        const int type = standin::readTrimmed(interfaceFile(root, name, QStringLiteral("type"))).toInt();
        if (type == ARPHRD_LOOPBACK)
            continue; // ipconfig lists no loopback adapter
        NetworkAdapter adapter;
        adapter.name = name;
        adapter.index = standin::readTrimmed(interfaceFile(root, name, QStringLiteral("ifindex"))).toInt();
        adapter.kind = adapterKind(root, name, type);
        adapter.description = adapterDescription(root, name);
        const QString address = standin::readTrimmed(interfaceFile(root, name, QStringLiteral("address")));
        if (!address.isEmpty() && address != QLatin1String("00:00:00:00:00:00"))
            adapter.physicalAddress = address;
        const QString state = standin::readTrimmed(interfaceFile(root, name, QStringLiteral("operstate")));
        const QString carrier = standin::readTrimmed(interfaceFile(root, name, QStringLiteral("carrier")));
        adapter.connected = state == QLatin1String("up") || (state == QLatin1String("unknown") && carrier == QLatin1String("1"));
        const DhcpLease lease = dhcpLease(root, name, adapter.index);
        adapter.dhcpEnabled = lease.found;
        adapter.dhcpServer = lease.server;
        adapter.autoconfiguration =
            standin::readTrimmed(underRoot(root, QStringLiteral("proc/sys/net/ipv6/conf/") + name + QStringLiteral("/autoconf")))
            == QLatin1String("1");
        for (const Ipv4Address &entry : ipv4)
            if (entry.interfaceName == name)
                adapter.ipv4.append(entry);
        facts.adapters.append(adapter);
    }
    addIpv6Addresses(root, facts.adapters);
    addDefaultGateways(root, facts.adapters);
    for (NetworkAdapter &adapter : facts.adapters)
        if (adapter.connected && (!adapter.ipv4.isEmpty() || !adapter.ipv6.isEmpty()))
            adapter.dnsServers = servers;
    std::sort(facts.adapters.begin(), facts.adapters.end(),
              [](const NetworkAdapter &a, const NetworkAdapter &b) { return a.index < b.index; });
    return facts;
}

} // namespace powershell
