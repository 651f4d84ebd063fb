// The stand-in PowerShell's fact readers on prepared system trees.

#include "faketree.h"
#include "firewall.h"
#include "network.h"
#include "processes.h"
#include "updates.h"
#include "vpn.h"

#include <QtTest>

using namespace powershell;
using testsupport::FakeTree;

namespace {

// A /proc/PID/stat line with the given name and CPU times (fields 14, 15).
QByteArray statLine(int pid, const QByteArray &name, int user, int system)
{
    return QByteArray::number(pid) + " (" + name + ") S 1 1 1 0 -1 4194304 100 0 0 0 " + QByteArray::number(user) + " "
           + QByteArray::number(system) + " 0 0 20 0 1 0 5000 1000000 200\n";
}

QStringList names(const QVector<ProcessSample> &samples)
{
    QStringList list;
    for (const ProcessSample &sample : samples)
        list << sample.name;
    return list;
}

QByteArray hex(const QByteArray &text) { return text.toHex(); }

} // namespace

class StandInSoftwareReadersTest : public QObject
{
    Q_OBJECT
private slots:
    void processes();
    void network();
    void vpn();
    void updatesFromSecurityArchive();
    void updatesFromHistory();
    void firewallProfiles();
    void firewallRules();
    void emptyTrees();
};

void StandInSoftwareReadersTest::processes()
{
    FakeTree proc;
    proc.write("100/comm", "GamePP\n");
    proc.write("100/stat", statLine(100, "GamePP", 30, 12));
    proc.write("100/smaps_rollup", "Rss:  9000 kB\nPrivate_Clean:  1024 kB\nPrivate_Dirty:   512 kB\nShared_Clean: 77 kB\n");
    proc.write("7/comm", "bash\n");
    proc.write("7/stat", statLine(7, "bash", 1, 1));
    // The kernel cuts names at 15 characters; the command line has the whole one.
    proc.write("250/comm", "LiveUpdate360Ex\n");
    proc.write("250/cmdline", QByteArray("/opt/360/LiveUpdate360Extra\0--quiet\0", 36));
    proc.write("250/stat", statLine(250, "LiveUpdate360Ex", 5, 5));
    // Brackets and blanks inside the name do not shift the fields.
    proc.write("31/comm", "avp) (x\n");
    proc.write("31/stat", statLine(31, "avp) (x", 7, 3));
    proc.write("31/status", "Name:\tavp\nRssAnon:\t   2048 kB\nRssFile:\t 100 kB\n");
    proc.write("self/comm", "GamePP\n");

    const QVector<ProcessSample> samples = readMatchingProcesses(proc.root(), {"GamePP", "avp", "LiveUpdate360"});
    QCOMPARE(names(samples), (QStringList{"avp) (x", "GamePP", "LiveUpdate360Extra"}));
    QCOMPARE(samples.at(0).cpuTicks, quint64(10));
    QCOMPARE(samples.at(1).cpuTicks, quint64(42));
    QCOMPARE(readPrivateWorkingSetKiB(proc.root(), 100), std::optional<quint64>(1536));
    QCOMPARE(readPrivateWorkingSetKiB(proc.root(), 31), std::optional<quint64>(2048));
    QVERIFY(!readPrivateWorkingSetKiB(proc.root(), 999));
    QVERIFY(!readCpuTicks(proc.root(), 999));

    const QVector<ConflictingProcess> measured = measureConflictingProcesses(proc.root(), {"GamePP"}, 10);
    QCOMPARE(measured.size(), 1);
    QCOMPARE(measured.first().name, QStringLiteral("GamePP"));
    QCOMPARE(measured.first().cpuPercent, qint64(0)); // the fake times stand still
    QCOMPARE(measured.first().privateMiB, 1.5);
}

void StandInSoftwareReadersTest::network()
{
    FakeTree tree;
    tree.write("proc/sys/kernel/hostname", "render-pc\n");
    tree.write("proc/sys/kernel/domainname", "(none)\n");
    tree.write("proc/sys/net/ipv4/ip_forward", "1\n");
    tree.write("proc/sys/net/ipv6/conf/eth0/autoconf", "1\n");
    tree.write("etc/resolv.conf", "# stub\nnameserver 127.0.0.53\nsearch lan example.org\n");
    tree.write("run/systemd/resolve/resolv.conf", "nameserver 192.0.2.53\nnameserver 2001:db8::53\n");
    tree.write("run/systemd/netif/leases/2", "ADDRESS=192.0.2.10\nSERVER_ADDRESS=192.0.2.1\n");
    for (const auto &[name, type, index, state] :
         {std::make_tuple("lo", "772", "1", "unknown"), std::make_tuple("eth0", "1", "2", "up"),
          std::make_tuple("wlan0", "1", "3", "down"), std::make_tuple("wg0", "65534", "4", "unknown")}) {
        const QString base = QStringLiteral("sys/class/net/%1/").arg(name);
        tree.write(base + "type", QByteArray(type) + "\n");
        tree.write(base + "ifindex", QByteArray(index) + "\n");
        tree.write(base + "operstate", QByteArray(state) + "\n");
        tree.write(base + "carrier", "1\n");
        tree.write(base + "address", "00:00:00:00:00:00\n");
    }
    tree.write("sys/class/net/eth0/address", "3c:7c:3f:aa:bb:01\n");
    tree.link("sys/class/net/eth0/device/driver", "../../../bus/pci/drivers/e1000e");
    tree.write("sys/class/net/wlan0/wireless/.keep", "");
    tree.write("sys/class/net/wg0/uevent", "DEVTYPE=wireguard\nINTERFACE=wg0\n");
    tree.write("proc/net/route", "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\n"
                                 "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\n"
                                 "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\n");
    tree.write("proc/net/if_inet6", "fe800000000000003e7c3ffffeaabb01 02 40 20 80     eth0\n"
                                    "20010db8000000000000000000000010 02 40 00 01     eth0\n"
                                    "00000000000000000000000000000001 01 80 10 80       lo\n");
    tree.write("proc/net/ipv6_route", "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
                                      "fe800000000000000000000000000001 00000400 00000001 00000000 00450003     eth0\n");

    const NetworkFacts facts = readNetworkFacts(tree.root(), {{"eth0", "192.0.2.10", "255.255.255.0"}});
    QCOMPARE(facts.hostName, QStringLiteral("render-pc"));
    QVERIFY(facts.primaryDnsSuffix.isEmpty());
    QVERIFY(facts.ipRouting);
    QCOMPARE(facts.searchList, (QStringList{"lan", "example.org"}));
    QCOMPARE(facts.adapters.size(), 3); // no loopback
    const NetworkAdapter &eth = facts.adapters.at(0);
    QCOMPARE(eth.name, QStringLiteral("eth0"));
    QCOMPARE(eth.kind, QStringLiteral("Ethernet"));
    QCOMPARE(eth.description, QStringLiteral("e1000e"));
    QCOMPARE(eth.physicalAddress, QStringLiteral("3c:7c:3f:aa:bb:01"));
    QVERIFY(eth.connected && eth.dhcpEnabled && eth.autoconfiguration);
    QCOMPARE(eth.dhcpServer, QStringLiteral("192.0.2.1"));
    QCOMPARE(eth.ipv4.size(), 1);
    QCOMPARE(eth.ipv6.size(), 2);
    QCOMPARE(eth.ipv6.at(0).address, QStringLiteral("fe80::3e7c:3fff:feaa:bb01"));
    QCOMPARE(eth.ipv6.at(0).scope, 0x20);
    QCOMPARE(eth.ipv6.at(1).address, QStringLiteral("2001:db8::10"));
    QCOMPARE(eth.ipv6.at(1).flags, 0x01);
    QCOMPARE(eth.defaultGateways, (QStringList{"fe80::1%2", "192.0.2.1"}));
    // Behind the local resolver stub, the upstream servers are shown.
    QCOMPARE(eth.dnsServers, (QStringList{"192.0.2.53", "2001:db8::53"}));

    const NetworkAdapter &wlan = facts.adapters.at(1);
    QCOMPARE(wlan.kind, QStringLiteral("Wireless LAN"));
    QVERIFY(!wlan.connected && !wlan.dhcpEnabled);
    QVERIFY(wlan.physicalAddress.isEmpty());
    QVERIFY(wlan.dnsServers.isEmpty());
    const NetworkAdapter &wg = facts.adapters.at(2);
    QCOMPARE(wg.kind, QStringLiteral("Unknown"));
    QCOMPARE(wg.description, QStringLiteral("wireguard"));
    QVERIFY(wg.connected);
    QVERIFY(wg.defaultGateways.isEmpty());
}

void StandInSoftwareReadersTest::vpn()
{
    FakeTree tree;
    const auto netdev = [&tree](const QString &name, const QByteArray &type, const QByteArray &flags, const QByteArray &carrier) {
        tree.write("sys/class/net/" + name + "/type", type + "\n");
        tree.write("sys/class/net/" + name + "/flags", flags + "\n");
        tree.write("sys/class/net/" + name + "/carrier", carrier + "\n");
    };
    netdev("eth0", "1", "0x1003", "1");
    netdev("wg0", "65534", "0x91", "1");
    tree.write("sys/class/net/wg0/uevent", "DEVTYPE=wireguard\nINTERFACE=wg0\n");
    tree.write("etc/wireguard/wg0.conf", "[Interface]\nAddress = 10.8.0.2/24\n[Peer]\nEndpoint = vpn.example.org:51820\n"
                                         "AllowedIPs = 0.0.0.0/0, ::/0\n");
    netdev("tun0", "65534", "0x1091", "1");
    tree.write("sys/class/net/tun0/tun_flags", "0x1001\n");
    tree.write("etc/openvpn/client/office.conf", "client\ndev tun0\nremote office.example.org 1194\n");
    netdev("tap1", "1", "0x1002", "0");
    tree.write("sys/class/net/tap1/tun_flags", "0x1002\n");
    netdev("ppp0", "512", "0x10d1", "1");
    tree.write("proc/net/route", "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\n"
                                 "ppp0\t00000000\t00000000\t0001\t0\t0\t0\t00000000\n");

    const QVector<VpnConnection> connections = readVpnConnections(tree.root());
    QCOMPARE(connections.size(), 4);
    QCOMPARE(connections.at(0).name, QStringLiteral("ppp0"));
    QCOMPARE(connections.at(0).tunnelType, QStringLiteral("Ppp"));
    QVERIFY(connections.at(0).connected);
    QVERIFY(!connections.at(0).splitTunneling); // the default route goes through it
    QCOMPARE(connections.at(1).tunnelType, QStringLiteral("Tap"));
    QVERIFY(!connections.at(1).connected); // down and without carrier
    QCOMPARE(connections.at(2).name, QStringLiteral("tun0"));
    QCOMPARE(connections.at(2).serverAddress, QStringLiteral("office.example.org"));
    QVERIFY(connections.at(2).splitTunneling);
    QCOMPARE(connections.at(3).tunnelType, QStringLiteral("WireGuard"));
    QCOMPARE(connections.at(3).serverAddress, QStringLiteral("vpn.example.org:51820"));
    QVERIFY(!connections.at(3).splitTunneling);
}

void StandInSoftwareReadersTest::updatesFromSecurityArchive()
{
    FakeTree tree;
    tree.write("var/lib/dpkg/status",
               "Package: zlib1g\nStatus: install ok installed\nVersion: 1:1.2.13.dfsg-1\n\n"
               "Package: linux-image-6.1.0-18-amd64\nStatus: install ok installed\nVersion: 6.1.76-1\n\n"
               "Package: linux-image-6.1.0-9-amd64\nStatus: deinstall ok config-files\nVersion: 6.1.27-1\n\n"
               "Package: openssl\nStatus: install ok installed\nVersion: 3.0.19-1~deb12u2\n\n"
               "Package: curl\nStatus: install ok installed\nVersion: 7.88.1-10+deb12u12\n");
    tree.write("var/lib/apt/lists/deb.debian.org_debian-security_dists_bookworm-security_main_binary-amd64_Packages",
               "Package: openssl\nVersion: 3.0.19-1~deb12u2\nArchitecture: amd64\n\n"
               "Package: curl\nVersion: 7.88.1-10+deb12u14\n");
    // Ignored while the security list is readable.
    tree.write("var/log/apt/history.log", "Upgrade: zlib1g:amd64 (1:1.2.13.dfsg-0, 1:1.2.13.dfsg-1)\n");
    QCOMPARE(readInstalledUpdates(tree.root()),
             (QStringList{"linux-image-6.1.0-18-amd64=6.1.76-1", "openssl=3.0.19-1~deb12u2"}));
}

void StandInSoftwareReadersTest::updatesFromHistory()
{
    FakeTree tree;
    tree.write("var/lib/dpkg/status",
               "Package: libssl3\nStatus: install ok installed\nVersion: 3.0.19-1~deb12u2\n\n"
               "Package: git\nStatus: install ok installed\nVersion: 1:2.39.5-0+deb12u3\n\n"
               "Package: curl\nStatus: install ok installed\nVersion: 7.88.1-10+deb12u14\n");
    tree.write("var/log/apt/history.log",
               "Start-Date: 2026-05-09  07:29:02\nInstall: jq:amd64 (1.6-2.1+deb12u1)\n"
               "Upgrade: libssl3:amd64 (3.0.16-1~deb12u1, 3.0.19-1~deb12u2), git:amd64 (1:2.39.5-0+deb12u2, 1:2.39.5-0+deb12u3), "
               "curl:amd64 (7.88.1-10+deb12u12, 7.88.1-10+deb12u13)\nEnd-Date: 2026-05-09  07:29:40\n");
    // curl has moved on since that upgrade, so only the first two are current.
    QCOMPARE(readInstalledUpdates(tree.root()), (QStringList{"git=1:2.39.5-0+deb12u3", "libssl3=3.0.19-1~deb12u2"}));
}

void StandInSoftwareReadersTest::firewallProfiles()
{
    FakeTree tree;
    tree.write("etc/ufw/ufw.conf", "# ufw\nENABLED=yes\nLOGLEVEL=low\n");
    tree.write("etc/default/ufw", "DEFAULT_INPUT_POLICY=\"DROP\"\nDEFAULT_OUTPUT_POLICY=\"ACCEPT\"\n");
    tree.write("etc/nftables.conf", "table inet filter {\n chain input {\n  type filter hook input priority 0; policy drop;\n }\n"
                                    " chain output {\n  type filter hook output priority 0; policy accept;\n }\n}\n");
    tree.link("etc/systemd/system/sysinit.target.wants/nftables.service", "/lib/systemd/system/nftables.service");
    tree.write("proc/net/ip_tables_names", "nat\n");

    const QVector<FirewallProfile> profiles = readFirewallProfiles(tree.root());
    QCOMPARE(profiles.size(), 2); // a nat table alone filters nothing
    QCOMPARE(profiles.at(0).name, QStringLiteral("ufw"));
    QVERIFY(profiles.at(0).on);
    QCOMPARE(profiles.at(0).policy, QStringLiteral("BlockInbound,AllowOutbound"));
    QCOMPARE(profiles.at(0).logDropped, QStringLiteral("Enable"));
    QCOMPARE(profiles.at(0).logAllowed, QStringLiteral("Disable"));
    QCOMPARE(profiles.at(1).name, QStringLiteral("nftables"));
    QVERIFY(profiles.at(1).on);
    QCOMPARE(profiles.at(1).policy, QStringLiteral("BlockInbound,AllowOutbound"));

    tree.write("proc/net/ip_tables_names", "filter\nnat\n");
    tree.write("etc/iptables/rules.v4", "*filter\n:INPUT ACCEPT [0:0]\n:OUTPUT DROP [0:0]\nCOMMIT\n");
    const QVector<FirewallProfile> withTables = readFirewallProfiles(tree.root());
    QCOMPARE(withTables.size(), 3);
    QCOMPARE(withTables.at(2).name, QStringLiteral("iptables"));
    QVERIFY(withTables.at(2).on);
    QCOMPARE(withTables.at(2).policy, QStringLiteral("AllowInbound,BlockOutbound"));
}

void StandInSoftwareReadersTest::firewallRules()
{
    FakeTree tree;
    tree.write("etc/ufw/ufw.conf", "ENABLED=no\n");
    tree.write("etc/ufw/user.rules", "*filter\n### RULES ###\n\n### tuple ### allow tcp 22 0.0.0.0/0 any 0.0.0.0/0 in\n"
                                     "-A ufw-user-input -p tcp --dport 22 -j ACCEPT\n\n"
                                     "### tuple ### allow tcp 7000:7010 0.0.0.0/0 any 0.0.0.0/0 in comment="
                                         + hex("Tessaly Render sync") + "\n"
                                     "-A ufw-user-input -p tcp --dport 7000:7010 -j ACCEPT\n");
    tree.write("etc/nftables.conf", "table inet filter {\n chain output {\n  type filter hook output priority 0;\n"
                                    "  # tessaly licence server\n  tcp dport 27000 drop\n"
                                    "  tcp dport 443 accept comment \"TESSALY updates\"\n  tcp dport 80 accept\n }\n}\n");
    tree.write("etc/iptables/rules.v4", "*filter\n-A INPUT -p udp --dport 7100 -m comment --comment \"tessaly-render\" -j ACCEPT\n"
                                        "-A INPUT -p tcp --dport 22 -j ACCEPT\nCOMMIT\n");
    tree.write("etc/firewalld/services/tessaly.xml", "<service><short>Tessaly Render</short><port protocol=\"tcp\" port=\"7000\"/></service>\n");
    tree.write("etc/firewalld/zones/public.xml", "<zone><service name=\"ssh\"/><service name=\"tessaly\"/></zone>\n");
    tree.link("etc/systemd/system/multi-user.target.wants/firewalld.service", "/lib/systemd/system/firewalld.service");

    const QVector<FirewallRule> rules = readFirewallRules(tree.root(), "tessaly");
    QStringList shown;
    for (const FirewallRule &rule : rules)
        shown << rule.group + "|" + rule.displayName + "|" + rule.direction + "|" + rule.action + "|"
                     + (rule.enabled ? "on" : "off");
    QCOMPARE(shown, (QStringList{"ufw|Tessaly Render sync|Inbound|Allow|off",
                                 "nftables|tessaly licence server|Outbound|Block|off",
                                 "nftables|TESSALY updates|Outbound|Allow|off",
                                 "iptables|tessaly-render|Inbound|Allow|off",
                                 "firewalld|Tessaly Render|Inbound|Allow|on"}));
    QCOMPARE(rules.first().name, tree.root() + "/etc/ufw/user.rules:7");
    QCOMPARE(rules.first().description, QStringLiteral("allow tcp 7000:7010 0.0.0.0/0 any 0.0.0.0/0 in"));
}

void StandInSoftwareReadersTest::emptyTrees()
{
    FakeTree tree;
    QVERIFY(readMatchingProcesses(tree.root(), {"GamePP"}).isEmpty());
    QVERIFY(measureConflictingProcesses(tree.root(), {"GamePP"}, 10).isEmpty());
    QVERIFY(readNetworkFacts(tree.root(), {}).adapters.isEmpty());
    QVERIFY(readVpnConnections(tree.root()).isEmpty());
    QVERIFY(readInstalledUpdates(tree.root()).isEmpty());
    QVERIFY(readFirewallProfiles(tree.root()).isEmpty());
    QVERIFY(readFirewallRules(tree.root(), "tessaly").isEmpty());
}

QTEST_MAIN(StandInSoftwareReadersTest)
#include "tst_standin_software_readers.moc"
