#include "network.h"

#include "commands.h"
#include "console.h"

namespace powershell {

namespace {

// The label column ends with ": " at this position; values and their
// continuation lines start right after it.
constexpr int kIndent = 3;
constexpr int kLabelWidth = 34;
constexpr int kValueColumn = kIndent + kLabelWidth + 2;

constexpr int kTemporaryFlag = 0x01;
constexpr int kDuplicateFlag = 0x08;
constexpr int kDeprecatedFlag = 0x20;
constexpr int kTentativeFlag = 0x40;
constexpr int kLinkScope = 0x20;
constexpr int kHostScope = 0x10;

QString yesNo(bool value) { return value ? QStringLiteral("Yes") : QStringLiteral("No"); }

// A field of several values: the first beside the label, the others below it.
void addField(QStringList &lines, const QString &label, const QStringList &values)
{
    lines << ipconfigField(label, values.value(0));
    for (int i = 1; i < values.size(); ++i)
        lines << QString(kValueColumn, QLatin1Char(' ')) + values.at(i);
}

// The physical address with dashes and upper-case digits.
QString physicalAddress(const QString &kernelText) { return kernelText.toUpper().replace(QLatin1Char(':'), QLatin1Char('-')); }

QString addressState(int flags)
{
    if (flags & kDuplicateFlag)
        return QStringLiteral("(Duplicate)");
    if (flags & kTentativeFlag)
        return QStringLiteral("(Tentative)");
    if (flags & kDeprecatedFlag)
        return QStringLiteral("(Deprecated)");
    return QStringLiteral("(Preferred)");
}

void addIpv6Fields(QStringList &lines, const NetworkAdapter &adapter)
{
    // Global addresses first, then temporary, then link-local ones.
    for (int pass = 0; pass < 3; ++pass) {
        for (const Ipv6Address &address : adapter.ipv6) {
            if (address.scope == kHostScope)
                continue;
            const bool linkLocal = address.scope == kLinkScope;
            const bool temporary = !linkLocal && (address.flags & kTemporaryFlag);
            const int group = linkLocal ? 2 : (temporary ? 1 : 0);
            if (group != pass)
                continue;
            const QString label = linkLocal ? QStringLiteral("Link-local IPv6 Address")
                                  : temporary ? QStringLiteral("Temporary IPv6 Address")
                                              : QStringLiteral("IPv6 Address");
            const QString zone = linkLocal ? QLatin1Char('%') + QString::number(adapter.index) : QString();
            lines << ipconfigField(label, address.address + zone + addressState(address.flags) + QLatin1Char(' '));
        }
    }
}

void addAdapter(QStringList &lines, const NetworkAdapter &adapter, const QString &dnsSuffix)
{
    lines << QString() << adapter.kind + QStringLiteral(" adapter ") + adapter.name + QLatin1Char(':') << QString();
    if (!adapter.connected)
        lines << ipconfigField(QStringLiteral("Media State"), QStringLiteral("Media disconnected"));
    lines << ipconfigField(QStringLiteral("Connection-specific DNS Suffix"), dnsSuffix);
    lines << ipconfigField(QStringLiteral("Description"), adapter.description);
    if (!adapter.physicalAddress.isEmpty())
        lines << ipconfigField(QStringLiteral("Physical Address"), physicalAddress(adapter.physicalAddress));
    lines << ipconfigField(QStringLiteral("DHCP Enabled"), yesNo(adapter.dhcpEnabled));
    lines << ipconfigField(QStringLiteral("Autoconfiguration Enabled"), yesNo(adapter.autoconfiguration));
    if (!adapter.connected)
        return;

    addIpv6Fields(lines, adapter);
    for (const Ipv4Address &address : adapter.ipv4) {
        lines << ipconfigField(QStringLiteral("IPv4 Address"), address.address + QStringLiteral("(Preferred) "));
        lines << ipconfigField(QStringLiteral("Subnet Mask"), address.subnetMask);
    }
    addField(lines, QStringLiteral("Default Gateway"), adapter.defaultGateways);
    if (adapter.dhcpEnabled && !adapter.dhcpServer.isEmpty())
        lines << ipconfigField(QStringLiteral("DHCP Server"), adapter.dhcpServer);
    if (!adapter.dnsServers.isEmpty())
        addField(lines, QStringLiteral("DNS Servers"), adapter.dnsServers);
    // Linux speaks no NetBIOS unless a Samba server is set up for it.
    lines << ipconfigField(QStringLiteral("NetBIOS over Tcpip"), QStringLiteral("Disabled"));
}

} // namespace

QString ipconfigField(const QString &label, const QString &value)
{
    QString line = QString(kIndent, QLatin1Char(' ')) + label;
    // The leader puts a dot on every even column counted from the label's start.
    for (int column = label.size(); column < kLabelWidth; ++column)
        line += column % 2 == 0 ? QLatin1Char('.') : QLatin1Char(' ');
    return line + QStringLiteral(": ") + value;
}

QStringList ipconfigLines(const NetworkFacts &facts)
{
    QStringList lines{QString(), QStringLiteral("Windows IP Configuration"), QString()};
    lines << ipconfigField(QStringLiteral("Host Name"), facts.hostName);
    lines << ipconfigField(QStringLiteral("Primary Dns Suffix"), facts.primaryDnsSuffix);
    lines << ipconfigField(QStringLiteral("IP Routing Enabled"), yesNo(facts.ipRouting));
    lines << ipconfigField(QStringLiteral("WINS Proxy Enabled"), yesNo(false));
    if (!facts.searchList.isEmpty())
        addField(lines, QStringLiteral("DNS Suffix Search List"), facts.searchList);
    for (const NetworkAdapter &adapter : facts.adapters)
        addAdapter(lines, adapter, facts.connectionDnsSuffix);
    return lines;
}

int printNetworkStatus()
{
    standin::writeOutLines(ipconfigLines(readNetworkFacts(QStringLiteral("/"), kernelIpv4Addresses())));
    return 0;
}

} // namespace powershell
