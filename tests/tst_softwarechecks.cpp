// The system and software checks run through the inspection object, with a
// fixture powershell replaying Windows outputs: what they return and the
// records they leave in the current report, runner warnings included.

#include "inspection/displaysystemrelatedinfo.h"
#include "inspection/windowscommands.h"
#include "powershellanswers.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "recordsummary.h"
#include "slowpowershell.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace testsupport;

namespace {
const char *const kPrefix = "./logs/SupportTool/SupportLog_checks_";

QList<Record> reportRecords()
{
    const QStringList files = reportFiles(QStringLiteral("SupportLog_checks_"));
    return files.size() == 1 ? recordsOf(files.first()) : QList<Record>();
}

QString hyphens(int count) { return QString(count, QLatin1Char('-')); }
QString inspection(int line, char level = 'I')
{
    return QStringLiteral("%1 displaysystemrelatedinfo.cpp:%2").arg(QLatin1Char(level)).arg(line);
}
} // namespace

class SoftwareChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initLogging(); }

    void systemUpdates()
    {
        InstallFolder folder;
        FixturePath fixtures;
        fixtures.addPowerShell({{windowscommands::asScript(windowscommands::installedUpdates()),
                                 "                           [01]: KB5031988\r\n"
                                 "                           [02]: KB5012170\r\n"}});
        records::switchReport(kPrefix);
        QString updates = QStringLiteral("held before");
        displaysystemrelatedinfo::instance()->getSystemUpdateInfo(updates);

        QCOMPARE(updates, QStringLiteral("[01]:KB5031988\n[02]:KB5012170\n"));
        const QList<Record> written = reportRecords();
        QCOMPARE(placesOf(written), QStringList({inspection(46, 'W'), inspection(313)}));
        QCOMPARE(written.at(0).text, QString());
        QCOMPARE(written.at(1).text,
                 "CHECKING SYSTEM UPDATE VERSION INFORMATION......\n[01]:KB5031988\n[02]:KB5012170\n" + hyphens(96));
    }

    void firewall()
    {
        InstallFolder folder;
        FixturePath fixtures;
        fixtures.addPowerShell(
            {{windowscommands::asScript(windowscommands::firewallProfiles()),
              "\r\nDomain Profile Settings: \r\nState                                 ON\r\nOk.\r\n\r\n"},
             {windowscommands::asScript(windowscommands::firewallRules()),
              "\r\nDisplayName : Tessaly Render\r\nEnabled : True\r\n\r\n\r\n\r\n"}});
        records::switchReport(kPrefix);
        QString configuration = QStringLiteral("old configuration");
        QString rules = QStringLiteral("old rules");
        displaysystemrelatedinfo::instance()->getFirewallInfo(configuration, rules);

        QCOMPARE(configuration,
                 QStringLiteral("\nDomain Profile Settings: \nState                                 ON\nOk.\n\n"));
        QCOMPARE(rules, QStringLiteral("\nDisplayName : Tessaly Render\nEnabled : True\n"));
        const QList<Record> written = reportRecords();
        QCOMPARE(placesOf(written), QStringList({inspection(366), inspection(46, 'W'), inspection(373),
                                                 inspection(46, 'W'), inspection(384)}));
        QCOMPARE(written.at(0).text, QStringLiteral("CHECKING FIREWALL INFORMATION......"));
        QCOMPARE(written.at(2).text, asReadBack("Firewall Configuration: " + configuration));
        QCOMPARE(written.at(4).text, "Tessaly related firewall rules: \n" + rules + hyphens(95));
    }

    void network_data()
    {
        QTest::addColumn<QByteArray>("vpnOutput");
        QTest::addColumn<QString>("vpn");
        QTest::addColumn<int>("vpnLine");
        QTest::addColumn<QString>("vpnRecord");
        QTest::newRow("with VPN") << QByteArray("\r\nName : Office\r\n\r\n") << "\nName : Office\n\n"
                                  << 451 << "VPN Info: \n\nName : Office\n\n\n" + hyphens(96);
        QTest::newRow("without VPN") << QByteArray() << "" << 448 << "There is no VPN Configuration\n" + hyphens(96);
    }
    void network()
    {
        QFETCH(QByteArray, vpnOutput);
        QFETCH(QString, vpn);
        QFETCH(int, vpnLine);
        QFETCH(QString, vpnRecord);
        InstallFolder folder;
        FixturePath fixtures;
        fixtures.addPowerShell({{windowscommands::asScript(windowscommands::networkStatus()),
                                 "\r\nWindows IP Configuration\r\n\r\n   Host Name . . . . : PC\r\n"},
                                {windowscommands::asScript(windowscommands::vpnConnections()), vpnOutput}});
        records::switchReport(kPrefix);
        QString status = QStringLiteral("old status");
        QString vpnText = QStringLiteral("old vpn");
        displaysystemrelatedinfo::instance()->getNetworkInfo(status, vpnText);

        QCOMPARE(status, QStringLiteral("Windows IP Configuration\n\n   Host Name . . . . : PC\n"));
        QCOMPARE(vpnText, vpn);
        const QList<Record> written = reportRecords();
        QCOMPARE(placesOf(written), QStringList({inspection(435), inspection(46, 'W'), inspection(441),
                                                 inspection(46, 'W'), inspection(vpnLine)}));
        QCOMPARE(written.at(0).text, QStringLiteral("CHECKING NETWORK INFORMATION......"));
        QCOMPARE(written.at(2).text, asReadBack("Network Status: \n" + status));
        QCOMPARE(written.at(4).text, vpnRecord);
    }

    void processesWithTheirArguments()
    {
        InstallFolder folder;
        FixturePath fixtures;
        addDelayedPowerShell(
            fixtures, 0,
            "Process=avp                       CPU_Usage_%=0            Memory_Usage_=3.5             \r\n");
        records::switchReport(kPrefix);
        QString processes = QStringLiteral("held before");
        displaysystemrelatedinfo::instance()->getProcessInfo(processes);

        // Seven arguments, each handed over whole.
        QCOMPARE(powerShellArguments(fixtures), windowscommands::conflictingProcesses());
        QCOMPARE(processes,
                 QStringLiteral(
                     "Process=avp                       CPU_Usage_%=0            Memory_Usage_=3.5             \n"));
        QCOMPARE(placesOf(reportRecords()), QStringList({inspection(46, 'W'), inspection(464), inspection(468)}));
    }

    // A command that crashed keeps the check's heading and what it did
    // write; only the record saying there is none is withheld, and a
    // warning record names the signal (on Windows the exception code).
    void processesOfACrashedCommand_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QStringList>("places");
        QTest::newRow("crashed after its list")
            << QByteArray("Process=avp                       CPU_Usage_%=0            Memory_Usage_=3.5\r\n")
            << QStringList({inspection(42, 'W'), inspection(46, 'W'), inspection(464), inspection(468)});
        QTest::newRow("crashed before writing")
            << QByteArray() << QStringList({inspection(42, 'W'), inspection(46, 'W'), inspection(464)});
    }
    void processesOfACrashedCommand()
    {
        QFETCH(QByteArray, output);
        QFETCH(QStringList, places);
        InstallFolder folder;
        FixturePath fixtures;
        Answer crashing;
        crashing.output = output;
        crashing.ending = Ending::Crash;
        QVERIFY(PowerShellAnswers(fixtures).addFallback(crashing));
        records::switchReport(kPrefix);
        QString processes;
        displaysystemrelatedinfo::instance()->getProcessInfo(processes);

        const QList<Record> written = reportRecords();
        QCOMPARE(placesOf(written), places);
#ifdef Q_OS_WIN
        QCOMPARE(written.first().text, QStringLiteral("Command \"powershell\" crashed: it ended with exception code "
                                                      "0xc0000005"));
#else
        QCOMPARE(written.first().text, QStringLiteral("Command \"powershell\" crashed: it was ended by signal 11 "
                                                      "(Segmentation fault)"));
#endif
        QCOMPARE(processes.isEmpty(), output.isEmpty());
    }

    // A close during the first firewall command stops it: no finding of
    // either command is written and the rules command never starts.
    void firewallCutShort()
    {
        InstallFolder folder;
        FixturePath fixtures;
        addHangingPowerShell(fixtures);
        records::switchReport(kPrefix);
        QString configuration = QStringLiteral("old configuration");
        QString rules = QStringLiteral("old rules");
        // Once the fixture has started (which takes a while under Wine).
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!powerShellArguments(fixtures).isEmpty()) {
                poll.stop();
                cancellation::request();
            }
        });
        poll.start(20);
        QElapsedTimer clock;
        clock.start();
        displaysystemrelatedinfo::instance()->getFirewallInfo(configuration, rules);
        cancellation::reset();

        QVERIFY2(clock.elapsed() < 5000, "the hanging command was not stopped");
        QVERIFY(configuration.isEmpty());
        QVERIFY(rules.isEmpty());
        QCOMPARE(powerShellArguments(fixtures), windowscommands::firewallProfiles());
        QCOMPARE(placesOf(reportRecords()), QStringList({inspection(366), inspection(44, 'W'), inspection(46, 'W')}));
    }
};

QTEST_GUILESS_MAIN(SoftwareChecksTest)
#include "tst_softwarechecks.moc"
