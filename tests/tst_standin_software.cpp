// The stand-in PowerShell's answers to the system and software checks: the
// layouts on fixed facts, and the built program against this machine.

#include "console.h"
#include "firewall.h"
#include "formatlist.h"
#include "inspection/windowscommands.h"
#include "network.h"
#include "processes.h"
#include "testsupport.h"
#include "updates.h"
#include "vpn.h"

#include <QtTest>

using namespace powershell;

namespace {

QString blanks(int count) { return QString(count, QLatin1Char(' ')); }

// The text a check gets from the lines: carriage returns removed.
QString asCheckSees(const QStringList &lines) { return QString::fromLocal8Bit(standin::crlfLines(lines)).remove(QLatin1Char('\r')); }

struct Run
{
    QByteArray out;
    QByteArray err;
    int exitCode = -1;
};

Run runStandIn(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(STANDIN_DIR "/powershell"), arguments);
    Run run;
    if (!process.waitForFinished(20000))
        return run;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    run.exitCode = process.exitCode();
    return run;
}

QStringList outputLines(const Run &run)
{
    QStringList lines = QString::fromLocal8Bit(run.out).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class StandInSoftwareTest : public QObject
{
    Q_OBJECT
private slots:
    void processLineLayout_data();
    void processLineLayout();
    void processInstancesAndCpu();
    void prefixMatching_data();
    void prefixMatching();
    void formatListLayout();
    void ipconfigLayout();
    void hotfixLayout();
    void firewallLayouts();
    void vpnLayout();

    void unknownScriptIsRefused();
    void networkStatusOfThisMachine();
    void vpnConnectionsOfThisMachine();
    void updatesOfThisMachine();
    void firewallOfThisMachine();
    void conflictingProcessFound();
};

void StandInSoftwareTest::processLineLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("cpu");
    QTest::addColumn<double>("mib");
    QTest::addColumn<QString>("expected");
    QTest::newRow("padded") << "GamePP" << qint64(3) << 1.5
                            << "Process=GamePP" + blanks(19) + " CPU_Usage_%=3" + blanks(11) + " Memory_Usage_=1.5" + blanks(13);
    QTest::newRow("rounded to two decimals") << "avp" << qint64(0) << 0.123456
                                             << "Process=avp" + blanks(22) + " CPU_Usage_%=0" + blanks(11)
                                                    + " Memory_Usage_=0.12" + blanks(12);
    QTest::newRow("whole number without decimals") << "360tray" << qint64(250) << 2.0
                                                   << "Process=360tray" + blanks(18) + " CPU_Usage_%=250" + blanks(9)
                                                          + " Memory_Usage_=2" + blanks(15);
    const QString longName = QStringLiteral("ZhuDongFangYuWithAVeryLongName");
    QTest::newRow("long name never cut") << longName << qint64(1) << 0.0
                                         << "Process=" + longName + " CPU_Usage_%=1" + blanks(11) + " Memory_Usage_=0" + blanks(15);
}

void StandInSoftwareTest::processLineLayout()
{
    QFETCH(QString, name);
    QFETCH(qint64, cpu);
    QFETCH(double, mib);
    QFETCH(QString, expected);
    QCOMPARE(conflictingProcessLines({{name, cpu, mib}}), QStringList{expected});
    QVERIFY(conflictingProcessLines({}).isEmpty());
}

void StandInSoftwareTest::processInstancesAndCpu()
{
    QCOMPARE(instanceNames({"GPP", "avp", "GPP", "GPP"}), (QStringList{"GPP", "avp", "GPP#1", "GPP#2"}));
    // Percent of one processor over the interval: 50 ticks of 100 per second in half a second.
    QCOMPARE(cpuPercent(100, 150, 0.5, 100), qint64(100));
    QCOMPARE(cpuPercent(0, 200, 1.0, 100), qint64(200)); // two busy processors
    QCOMPARE(cpuPercent(0, 1, 3.0, 100), qint64(0));
    QCOMPARE(cpuPercent(150, 100, 0.5, 100), qint64(0));
    QCOMPARE(cpuPercent(100, 150, 0.0, 100), qint64(0));
}

void StandInSoftwareTest::prefixMatching_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("exact prefix") << "GamePPtest" << true;
    QTest::newRow("other case") << "gamepp" << true;
    QTest::newRow("short prefix") << "alibaba" << true;
    QTest::newRow("digits") << "360tray" << true;
    QTest::newRow("inside the name") << "bali" << false;
    QTest::newRow("unrelated") << "bash" << false;
    QTest::newRow("empty") << "" << false;
}

void StandInSoftwareTest::prefixMatching()
{
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(matchesPrefix(name, windowscommands::conflictingProcessPrefixes()), matches);
}

void StandInSoftwareTest::formatListLayout()
{
    QVERIFY(formatList({}).isEmpty());
    const QStringList lines = formatList({{{"Name", "wg0"}, {"IdleDisconnectSeconds", "0"}}, {{"Name", "tun0"}}});
    QCOMPARE(lines, (QStringList{"", "", "Name                  : wg0", "IdleDisconnectSeconds : 0", "",
                                 "Name : tun0", "", "", ""}));
}

void StandInSoftwareTest::ipconfigLayout()
{
    QCOMPARE(ipconfigField("Host Name", "vm"), QStringLiteral("   Host Name . . . . . . . . . . . . : vm"));
    QCOMPARE(ipconfigField("Physical Address", "X").indexOf(QLatin1String(": X")), 37);

    NetworkFacts facts;
    facts.hostName = QStringLiteral("desk");
    NetworkAdapter up;
    up.name = QStringLiteral("eth0");
    up.index = 2;
    up.kind = QStringLiteral("Ethernet");
    up.physicalAddress = QStringLiteral("02:fc:00:00:00:0a");
    up.connected = true;
    up.ipv4 = {{"eth0", "192.0.2.2", "255.255.255.0"}};
    up.ipv6 = {{"fe80::1", 0x20, 0x80}, {"fd00::2", 0x00, 0x40}};
    up.defaultGateways = QStringList{"fd00::1", "192.0.2.1"};
    up.dnsServers = QStringList{"192.0.2.53"};
    NetworkAdapter down;
    down.name = QStringLiteral("wlan0");
    down.kind = QStringLiteral("Wireless LAN");
    down.ipv4 = {{"wlan0", "10.0.0.1", "255.0.0.0"}};
    facts.adapters = {up, down};

    const QStringList lines = ipconfigLines(facts);
    // The check drops the first character: the leading empty line.
    const QString status = asCheckSees(lines).mid(1);
    QVERIFY(status.startsWith(QLatin1String("Windows IP Configuration\n\n   Host Name . . . . . . . . . . . . : desk\n")));
    QVERIFY(lines.contains("Ethernet adapter eth0:"));
    QVERIFY(lines.contains("Wireless LAN adapter wlan0:"));
    QVERIFY(lines.contains(ipconfigField("Physical Address", "02-FC-00-00-00-0A")));
    QVERIFY(lines.contains(ipconfigField("IPv4 Address", "192.0.2.2(Preferred) ")));
    QVERIFY(lines.contains(ipconfigField("IPv6 Address", "fd00::2(Tentative) ")));
    QVERIFY(lines.contains(ipconfigField("Link-local IPv6 Address", "fe80::1%2(Preferred) ")));
    const int gateway = lines.indexOf(ipconfigField("Default Gateway", "fd00::1"));
    QVERIFY(gateway > 0);
    QCOMPARE(lines.at(gateway + 1), blanks(39) + "192.0.2.1");
    // A disconnected adapter shows its media state and no addresses.
    QVERIFY(lines.contains(ipconfigField("Media State", "Media disconnected")));
    QVERIFY(!status.contains(QLatin1String("10.0.0.1")));
}

void StandInSoftwareTest::hotfixLayout()
{
    QVERIFY(hotfixLines({}).isEmpty());
    QStringList updates;
    for (int i = 1; i <= 100; ++i)
        updates << QStringLiteral("pkg%1=1.0").arg(i);
    const QStringList lines = hotfixLines(updates);
    QCOMPARE(lines.first(), blanks(27) + "[01]: pkg1=1.0");
    QCOMPARE(lines.at(9), blanks(27) + "[10]: pkg10=1.0");
    QCOMPARE(lines.last(), blanks(27) + "[100]: pkg100=1.0");
    // The check removes every blank; the package and version stay readable.
    QCOMPARE(asCheckSees(lines.mid(0, 1)).remove(QLatin1Char(' ')), QStringLiteral("[01]:pkg1=1.0\n"));
}

void StandInSoftwareTest::firewallLayouts()
{
    const QString none = asCheckSees(firewallProfileLines({}));
    QVERIFY(none.size() >= 5);
    QVERIFY(none.contains(QLatin1String("No firewall state could be read")));

    const QStringList profile = firewallProfileLines(
        {{"ufw", true, "BlockInbound,AllowOutbound", "/etc/ufw/user.rules", "Disable", "Enable", "/var/log/ufw.log"}});
    QCOMPARE(profile.mid(0, 5), (QStringList{"", "ufw Profile Settings: ", QString(70, QLatin1Char('-')),
                                             "State" + blanks(33) + "ON", "Firewall Policy" + blanks(23) + "BlockInbound,AllowOutbound"}));
    QCOMPARE(profile.mid(profile.size() - 2), (QStringList{"Ok.", ""}));

    QVERIFY(firewallRuleLines({}).isEmpty());
    FirewallRule rule{"/etc/ufw/user.rules:12", "Tessaly Render", "allow tcp 8080", "ufw", true, "Inbound", "Allow", "/etc/ufw/user.rules"};
    const QStringList lines = firewallRuleLines({rule});
    QVERIFY(lines.contains("DisplayName           : Tessaly Render"));
    QVERIFY(lines.contains("Enabled               : True"));
    // The check removes the last three characters of the closing empty
    // lines; the one line end left keeps its closing hyphens on a line of
    // their own.
    QString rules = asCheckSees(lines);
    rules.chop(3);
    QVERIFY(rules.endsWith(QLatin1String("\nPolicyStoreSourceType : Local\n")));

    const QString error = firewallRuleNotFoundError("tessaly*");
    QVERIFY(error.startsWith(QLatin1String("Get-NetFirewallRule : No MSFT_NetFirewallRule objects found with property "
                                           "'DisplayName' equal to 'tessaly*'.")));
}

void StandInSoftwareTest::vpnLayout()
{
    QVERIFY(vpnConnectionLines({}).isEmpty());
    const QStringList lines = vpnConnectionLines({{"wg0", "WireGuard", "vpn.example.org:51820", true, false}});
    QCOMPARE(lines.mid(0, 4), (QStringList{"", "", "Name                  : wg0", "ServerAddress         : vpn.example.org:51820"}));
    QVERIFY(lines.contains("ConnectionStatus      : Connected"));
    QVERIFY(lines.contains("SplitTunneling        : False"));
}

void StandInSoftwareTest::unknownScriptIsRefused()
{
    const Run run = runStandIn({QStringLiteral("Get-Nothing"), QStringLiteral("-All")});
    QVERIFY(run.out.isEmpty());
    QVERIFY(run.err.contains("Get-Nothing"));
    QVERIFY(run.exitCode != 0);
}

void StandInSoftwareTest::networkStatusOfThisMachine()
{
    const Run run = runStandIn(windowscommands::networkStatus());
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("\r\nWindows IP Configuration\r\n"));
    QVERIFY(run.out.endsWith("\r\n"));
    QVERIFY(!QString::fromLocal8Bit(run.out).remove(QStringLiteral("\r\n")).contains(QLatin1Char('\n')));
    const QStringList lines = outputLines(run);
    const QString hostName = standin::readTrimmed(QStringLiteral("/proc/sys/kernel/hostname"));
    QVERIFY(lines.contains(ipconfigField("Host Name", hostName)));

    QStringList expected;
    for (const QString &name : QDir(QStringLiteral("/sys/class/net")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
        if (standin::readTrimmed("/sys/class/net/" + name + "/type") != QLatin1String("772"))
            expected << name;
    QStringList shown;
    for (const QString &line : lines)
        if (line.contains(QLatin1String(" adapter ")) && line.endsWith(QLatin1Char(':')))
            shown << line.section(QStringLiteral(" adapter "), 1).chopped(1);
    expected.sort();
    shown.sort();
    QCOMPARE(shown, expected);
}

void StandInSoftwareTest::vpnConnectionsOfThisMachine()
{
    QStringList expected;
    for (const QString &name : QDir(QStringLiteral("/sys/class/net")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        const QString base = "/sys/class/net/" + name + "/";
        if (QFileInfo::exists(base + "tun_flags") || standin::readText(base + "uevent").contains("DEVTYPE=wireguard")
            || standin::readTrimmed(base + "type") == QLatin1String("512"))
            expected << name;
    }
    const Run run = runStandIn(windowscommands::vpnConnections());
    QCOMPARE(run.exitCode, 0);
    QStringList shown;
    for (const QString &line : outputLines(run))
        if (line.startsWith(QLatin1String("Name ")))
            shown << line.section(QStringLiteral(" : "), 1);
    QCOMPARE(shown, expected);
    if (expected.isEmpty())
        QVERIFY(run.out.isEmpty());
}

void StandInSoftwareTest::updatesOfThisMachine()
{
    const Run run = runStandIn(windowscommands::installedUpdates());
    const QStringList lines = outputLines(run);
    QCOMPARE(run.exitCode, lines.isEmpty() ? 1 : 0);
    const QRegularExpression layout(QStringLiteral("^ {27}\\[(\\d{2,})\\]: (\\S+)=(\\S+)$"));
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = layout.match(lines.at(i));
        QVERIFY2(match.hasMatch(), qPrintable(lines.at(i)));
        QCOMPARE(match.captured(1).toInt(), i + 1);
    }
    // Every installed kernel image is listed.
    const QStringList stanzas = standin::readText(QStringLiteral("/var/lib/dpkg/status")).split(QStringLiteral("\n\n"));
    for (const QString &stanza : stanzas) {
        if (!stanza.startsWith(QLatin1String("Package: linux-image-")) || !stanza.contains(QLatin1String("Status: install ok installed")))
            continue;
        const QString name = stanza.section(QLatin1Char('\n'), 0, 0).mid(9);
        QVERIFY2(std::any_of(lines.cbegin(), lines.cend(), [&](const QString &l) { return l.contains("]: " + name + "="); }),
                 qPrintable(name));
    }
}

void StandInSoftwareTest::firewallOfThisMachine()
{
    const Run profiles = runStandIn(windowscommands::firewallProfiles());
    const QString text = QString::fromLocal8Bit(profiles.out);
    QVERIFY(text.size() >= 5);
    QVERIFY(text.contains(QLatin1String(" Profile Settings: \r\n")) || text.contains(QLatin1String("No firewall state could be read")));
    if (QFileInfo::exists(QStringLiteral("/etc/ufw/ufw.conf")))
        QVERIFY(text.contains(QLatin1String("ufw Profile Settings")));

    const Run rules = runStandIn(windowscommands::firewallRules());
    if (rules.out.isEmpty()) {
        QCOMPARE(rules.exitCode, 1);
        QVERIFY(rules.err.contains("No MSFT_NetFirewallRule objects found with property 'DisplayName' equal to 'tessaly*'"));
    } else {
        QCOMPARE(rules.exitCode, 0);
        QVERIFY(rules.out.startsWith("\r\nName "));
        QVERIFY(rules.out.toLower().contains("tessaly"));
    }
}

void StandInSoftwareTest::conflictingProcessFound()
{
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("GamePPtest"));
    QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), program));
    QProcess sleeper;
    sleeper.start(program, {QStringLiteral("30")});
    QVERIFY(sleeper.waitForStarted());

    const Run run = runStandIn(windowscommands::conflictingProcesses());
    sleeper.kill();
    sleeper.waitForFinished();

    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.endsWith("\r\n"));
    const QRegularExpression layout(QStringLiteral("^Process=GamePPtest {15} CPU_Usage_%=(\\d+) +Memory_Usage_=([\\d.]+) +$"));
    bool found = false;
    for (const QString &line : outputLines(run)) {
        const QRegularExpressionMatch match = layout.match(line);
        if (!match.hasMatch())
            continue;
        found = true;
        QCOMPARE(line.indexOf(QLatin1String(" Memory_Usage_=")), 8 + 25 + 13 + 12);
        QVERIFY(match.captured(2).toDouble() < 100.0); // a sleeping program holds little memory
    }
    QVERIFY2(found, run.out.constData());
}

QTEST_MAIN(StandInSoftwareTest)
#include "tst_standin_software.moc"
