// The cuts and length tests of the system and software checks, on outputs
// shaped as the Windows tools print them.

#include "shaping/softwareshaping.h"

#include <QtTest>

using records::CheckRecord;
using softwareshaping::ShapedCheck;

Q_DECLARE_METATYPE(CheckRecord)

namespace {
QString hyphens(int count) { return QString(count, QLatin1Char('-')); }
QString separator() { return QLatin1Char('\n') + hyphens(96); }
} // namespace

class SoftwareShapingTest : public QObject
{
    Q_OBJECT

private:
    static void compareShaped(const ShapedCheck &shaped, const QString &text, int line, const QString &record)
    {
        QCOMPARE(shaped.text, text);
        QCOMPARE(shaped.records.size(), 1);
        QCOMPARE(shaped.records.first().line, line);
        QCOMPARE(shaped.records.first().text, record);
    }

private slots:
    void systemUpdates_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text");
        QTest::newRow("numbered lines") << "                           [01]: KB5031988\r\n"
                                           "                           [02]: KB5012170\r\n"
                                        << "[01]:KB5031988\n[02]:KB5012170\n";
        QTest::newRow("every blank, tabs kept") << "Hotfix(s): 3 Hotfix(s) installed.\r\n a b\tc \r\n"
                                                << "Hotfix(s):3Hotfix(s)installed.\nab\tc\n";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("only blanks and returns") << "  \r\n \r" << "\n";
    }
    void systemUpdates()
    {
        QFETCH(QString, output);
        QFETCH(QString, text);
        compareShaped(softwareshaping::systemUpdates(output), text, 313,
                      "CHECKING SYSTEM UPDATE VERSION INFORMATION......\n" + text + hyphens(96));
    }

    void headings()
    {
        QCOMPARE(softwareshaping::firewallHeading(), (CheckRecord{366, "CHECKING FIREWALL INFORMATION......"}));
        QCOMPARE(softwareshaping::networkHeading(), (CheckRecord{435, "CHECKING NETWORK INFORMATION......"}));
    }

    void firewallConfiguration_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("record");
        const QString rule = QString(70, QLatin1Char('-'));
        const QString profiles = "\r\nDomain Profile Settings: \r\n" + rule +
                                 "\r\nState                                 ON\r\nOk.\r\n\r\n";
        const QString kept =
            "\nDomain Profile Settings: \n" + rule + "\nState                                 ON\nOk.\n\n";
        QTest::newRow("profiles") << profiles << kept << 373 << "Firewall Configuration: " + kept;
        QTest::newRow("5 characters") << "Ok.\r\n\r\n" << "Ok.\n\n" << 373 << "Firewall Configuration: Ok.\n\n";
        QTest::newRow("4 characters") << "\r\nOk\r\n" << "\nOk\n" << 371 << "There is no firewall configuration";
        QTest::newRow("carriage returns do not count") << "\r\r\r\r\r\r1234" << "1234" << 371
                                                       << "There is no firewall configuration";
        QTest::newRow("empty") << "" << "" << 371 << "There is no firewall configuration";
    }
    void firewallConfiguration()
    {
        QFETCH(QString, output);
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(QString, record);
        compareShaped(softwareshaping::firewallConfiguration(output), text, line, record);
    }

    void firewallRules_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("record");
        const QString none = "There is no Tessaly related firewall rules\n" + separator();
        QTest::newRow("rule listing")
            << "\r\nName    : {A1}\r\nDisplayName : Tessaly Render\r\nEnabled : True\r\n\r\n\r\n\r\n"
            << "\nName    : {A1}\nDisplayName : Tessaly Render\nEnabled : True\n" << 384
            << "Tessaly related firewall rules: \n\nName    : {A1}\nDisplayName : Tessaly Render\nEnabled : True\n" +
                   hyphens(95);
        // 12 and 13 characters once the carriage returns are gone.
        QTest::newRow("12 characters") << "\r\nabcdefgh\r\n\r\n\r\n" << "\nabcdefgh" << 381 << none;
        QTest::newRow("13 characters") << "\r\nabcdefghi\r\n\r\n\r\n" << "\nabcdefghi"
                                       << 384 << "Tessaly related firewall rules: \n\nabcdefghi" + hyphens(95);
        QTest::newRow("2 characters") << "\r\n\r\n" << "" << 381 << none;
        QTest::newRow("3 characters") << "abc" << "" << 381 << none;
        QTest::newRow("4 characters") << "abcd" << "a" << 381 << none;
        QTest::newRow("empty") << "" << "" << 381 << none;
    }
    void firewallRules()
    {
        QFETCH(QString, output);
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(QString, record);
        compareShaped(softwareshaping::firewallRules(output), text, line, record);
    }

    void networkStatus_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text");
        QTest::newRow("ipconfig") << "\r\nWindows IP Configuration\r\n\r\n   Host Name . . . . : PC\r\n"
                                  << "Windows IP Configuration\n\n   Host Name . . . . : PC\n";
        QTest::newRow("carriage return first") << "\r\r\nWindows" << "Windows";
        QTest::newRow("first character whatever it is") << "Windows" << "indows";
        QTest::newRow("single line feed") << "\r\n" << "";
        QTest::newRow("empty") << "" << "";
    }
    void networkStatus()
    {
        QFETCH(QString, output);
        QFETCH(QString, text);
        compareShaped(softwareshaping::networkStatus(output), text, 441, "Network Status: \n" + text);
    }

    void vpnConnections_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("record");
        QTest::newRow("connection") << "\r\nName : Office\r\nServerAddress : vpn.example.org\r\n\r\n"
                                    << "\nName : Office\nServerAddress : vpn.example.org\n\n" << 451
                                    << "VPN Info: \n\nName : Office\nServerAddress : vpn.example.org\n\n" + separator();
        QTest::newRow("5 characters") << "\r\nab\r\n\r\n" << "\nab\n\n" << 451 << "VPN Info: \n\nab\n\n" + separator();
        QTest::newRow("4 characters") << "\r\nab\r\n" << "\nab\n" << 448
                                      << "There is no VPN Configuration" + separator();
        QTest::newRow("empty") << "" << "" << 448 << "There is no VPN Configuration" + separator();
    }
    void vpnConnections()
    {
        QFETCH(QString, output);
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(QString, record);
        compareShaped(softwareshaping::vpnConnections(output), text, line, record);
    }

    // Of a command that did not answer, the records saying there is none
    // go, but the separators closing their sections stay; what the
    // command did write stays whole.
    void unansweredCommandsKeepTheirSeparators()
    {
        using softwareshaping::withoutNoneClaims;
        const QVector<CheckRecord> none = softwareshaping::firewallConfiguration(QString()).records
            + softwareshaping::firewallRules(QString()).records + softwareshaping::vpnConnections(QString()).records
            + softwareshaping::conflictingProcesses(QString()).records;
        QCOMPARE(withoutNoneClaims(none),
                 (QVector<CheckRecord>{{381, separator()}, {448, separator()},
                                       {464, QStringLiteral("CHECKING PROCESS INFORMATION......\n")}}));
        const QVector<CheckRecord> found = softwareshaping::vpnConnections(QStringLiteral("Name : Office\r\n")).records
            + softwareshaping::firewallConfiguration(QStringLiteral("Domain Profile Settings:")).records;
        QCOMPARE(withoutNoneClaims(found), found);
    }

    void conflictingProcesses_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        const QString list =
            "Process=GamePP                    CPU_Usage_%=0            Memory_Usage_=12.5            \r\n"
            "Process=360tray                   CPU_Usage_%=3            Memory_Usage_=40.25           \r\n";
        QString kept = list;
        kept.remove(QLatin1Char('\r'));
        QTest::newRow("two processes") << list << kept << 468;
        QTest::newRow("5 characters, neither wwbizsrv nor GPP") << "avp\r\n\r\n" << "avp\n\n" << 468;
        QTest::newRow("4 characters") << "\r\nav\r\n" << "\nav\n" << 466;
        QTest::newRow("empty") << "" << "" << 466;
    }
    void conflictingProcesses()
    {
        QFETCH(QString, output);
        QFETCH(QString, text);
        QFETCH(int, line);
        const ShapedCheck shaped = softwareshaping::conflictingProcesses(output);
        QCOMPARE(shaped.text, text);
        QCOMPARE(shaped.records.size(), 2);
        QCOMPARE(shaped.records.at(0), (CheckRecord{464, "CHECKING PROCESS INFORMATION......\n"}));
        const QString record = line == 468
            ? "\n**NOTICE: wwbizsrv is a background process of Ali Wang Wang**"
              "\n**Process which starts with GPP is GamePP related process**\n" + text + hyphens(96)
            : QStringLiteral("There is no conflicting software running..");
        QCOMPARE(shaped.records.at(1), (CheckRecord{line, record}));
    }

    void lengthsCountUtf16Units()
    {
        // Two characters outside the basic plane are four UTF-16 units: long enough.
        const QString wide = QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80");
        QCOMPARE(wide.size(), 4);
        QCOMPARE(softwareshaping::vpnConnections(wide).records.first().line, 448);
        QCOMPARE(softwareshaping::vpnConnections(wide + "x").records.first().line, 451);
        QCOMPARE(softwareshaping::conflictingProcesses(wide + "x").records.last().line, 468);
    }
};

QTEST_APPLESS_MAIN(SoftwareShapingTest)
#include "tst_softwareshaping.moc"
