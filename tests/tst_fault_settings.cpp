// The network action and the agreement gate against hostile settings files:
// garbage, a huge value, thousands of keys, values made to break out of a
// command line or pass for options, host names beyond ASCII, a file that
// cannot be read. The address tests run through the real stand-in cmd with
// fixture ping and traceroute that note what they were given.

#include "app/agreementgate.h"
#include "faultverdict.h"
#include "installation/pingtargets.h"
#include "installation/settingsfile.h"
#include "localhttpserver.h"
#include "networksettings.h"
#include "records/records.h"
#include "sandbox.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QtTest>

#include <sys/stat.h>

using namespace testsupport;
using Transport = LocalHttpServer::Transport;

namespace {

const QString kSettings = QStringLiteral("SupportToolConfig.ini");
const QString kAgreed = QStringLiteral("AgreeLicense/agreed");

// A value and the targets the address tests must hand to the tools for it,
// each exactly as one argument.
struct Value
{
    QString text;
    QStringList targets;
};

// Fixture ping and traceroute: each run appends one line "[arg][arg]..."
// to its log and prints a result line.
void addRecordingTools(const FixturePath &fixtures)
{
    for (const char *tool : {"ping", "traceroute"}) {
        const QByteArray log = QFile::encodeName(fixtures.path()) + '/' + tool + ".log";
        fixtures.addScript(QString::fromLatin1(tool), "{ for a in \"$@\"; do printf '[%s]' \"$a\"; done; echo; } >> '"
                                                          + log + "'\necho " + tool + " answered");
    }
    fixtures.addPowerShell({});
}

QStringList toolRuns(const FixturePath &fixtures, const char *tool)
{
    QStringList runs = QString::fromUtf8(readFile(fixtures.path() + '/' + tool + ".log")).split(QLatin1Char('\n'));
    runs.removeAll(QString());
    return runs;
}

QString argumentsText(const QStringList &arguments)
{
    QString text;
    for (const QString &argument : arguments)
        text += QLatin1Char('[') + argument + QLatin1Char(']');
    return text;
}

// Writes values as keys v0001, v0002, ... of [ipconfig] (so listed in that
// order), with the settings library's own quoting.
void writeAddressValues(const QList<Value> &values)
{
    QSettings settings(kSettings, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("ipconfig"));
    for (int i = 0; i < values.size(); ++i)
        settings.setValue(QStringLiteral("v%1").arg(i + 1, 4, 10, QLatin1Char('0')), values.at(i).text);
    settings.endGroup();
}

void appendToSettings(const QByteArray &bytes)
{
    QFile file(kSettings);
    QVERIFY(file.open(QIODevice::Append));
    file.write(bytes);
}

// The warning records of the main window in every report, as "line text".
QStringList mainWindowWarnings()
{
    QStringList warnings;
    for (const QString &report : reportFiles(QString())) {
        for (const Record &record : recordsOf(report)) {
            if (record.level == QLatin1Char('W') && record.file == QLatin1String("mainwindow.cpp"))
                warnings << QStringLiteral("%1 %2").arg(record.line).arg(record.text);
        }
    }
    return warnings;
}

} // namespace

Q_DECLARE_METATYPE(Value)

class FaultSettingsTest : public QObject
{
    Q_OBJECT

    // Local servers for the six timed requests, in request order.
    std::unique_ptr<LocalHttpServer> m_plain;
    std::unique_ptr<LocalHttpServer> m_tls;

    QByteArray localServerHosts() const
    {
        const QString plain = m_plain->hostAndPort();
        const QString tls = m_tls->hostAndPort();
        return serverHostsGroup({plain, tls, tls, plain, tls, plain}, 5);
    }

    // Runs the network action on the settings file in place and checks
    // what every case must hold; the caller stops when this failed.
    void runNetworkAction(const Sandbox &sandbox, bool serversReachable, QString *pane = nullptr)
    {
        MainWindow window;
        // Notices about the settings go to the report of the moment.
        records::switchReport(QStringLiteral("./logs/SupportTool/SupportLog_earlier_"));
        const BoundedRun run = runBounded(window, &MainWindow::GetNetInfo, 30000);
        if (pane)
            *pane = paneText(window);
        QCOMPARE(brokenPromises(window, run, sandbox), QStringList());
        QVERIFY(!QFileInfo::exists(QStringLiteral("ipconfig.txt")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("downloadConfig.txt")));
        if (serversReachable) {
            // The hostile groups did not keep the servers the file names from being asked.
            const QStringList server = reportFiles(QStringLiteral("SupportLog_network_server_"));
            QCOMPARE(server.size(), 1);
            QCOMPARE(QString::fromUtf8(readFile(server.first())).count(QStringLiteral(" done from ")), 6);
        }
    }

private slots:
    void initTestCase()
    {
        initWindowTests();
        appendStandInsToPath();
        m_plain = std::make_unique<LocalHttpServer>(Transport::Plain, HttpAnswer{});
        m_tls = std::make_unique<LocalHttpServer>(Transport::Tls, HttpAnswer{});
    }

    // Whatever a value holds, the target reaches ping and traceroute as one
    // plain argument after "--": never read as an option, never through a
    // shell (a canary that an injection would make stays missing).
    void valuesReachTheToolsLiterally_data()
    {
        QTest::addColumn<QList<Value>>("values");
        const QString canary = QStringLiteral("CANARY");
        QTest::newRow("shell metacharacters") << QList<Value>{
            {QStringLiteral("127.0.0.1;touch${IFS}CANARY"), {QStringLiteral("127.0.0.1;touch${IFS}CANARY")}},
            {QStringLiteral("$(touch${IFS}CANARY)"), {QStringLiteral("$(touch${IFS}CANARY)")}},
            {QStringLiteral("`touch${IFS}CANARY`"), {QStringLiteral("`touch${IFS}CANARY`")}},
            {QStringLiteral("a|touch${IFS}CANARY"), {QStringLiteral("a|touch${IFS}CANARY")}},
            {QStringLiteral("a&touch${IFS}CANARY&&b"), {QStringLiteral("a&touch${IFS}CANARY&&b")}},
            {QStringLiteral(">CANARY"), {QStringLiteral(">CANARY")}},
            {QStringLiteral("'q'\"q\"%PATH%"), {QStringLiteral("'q'\"q\"%PATH%")}},
            {QStringLiteral("host\ntouch${IFS}CANARY"), {QStringLiteral("host"), QStringLiteral("touch${IFS}CANARY")}},
        };
        QTest::newRow("option-like values") << QList<Value>{
            {QStringLiteral("-f"), {QStringLiteral("-f")}},
            {QStringLiteral("--help"), {QStringLiteral("--help")}},
            {QStringLiteral("/all"), {QStringLiteral("/all")}},
            {QStringLiteral("-c 1000 example"), {QStringLiteral("-c")}},
        };
        QTest::newRow("host names beyond ASCII") << QList<Value>{
            {QStringLiteral("bücher.example"), {QStringLiteral("bücher.example")}},
            {QStringLiteral("δοκιμή.example"), {QStringLiteral("δοκιμή.example")}},
            {QStringLiteral("例え.テスト"), {QStringLiteral("例え.テスト")}},
        };
    }
    void valuesReachTheToolsLiterally()
    {
        QFETCH(QList<Value>, values);
        const FixturePath fixtures;
        addRecordingTools(fixtures);
        Sandbox sandbox;
        writeAddressValues(values);
        appendToSettings(localServerHosts());
        sandbox.snapshot();

        runNetworkAction(sandbox, true);
        if (QTest::currentTestFailed())
            return;

        QStringList expectedPings;
        QStringList expectedRoutes;
        for (const Value &value : values) {
            for (const QString &target : value.targets) {
                expectedPings << argumentsText({QStringLiteral("-c"), QStringLiteral("4"), QStringLiteral("--"), target});
                expectedRoutes << argumentsText({QStringLiteral("--"), target});
            }
        }
        QCOMPARE(toolRuns(fixtures, "ping"), expectedPings);
        QCOMPARE(toolRuns(fixtures, "traceroute"), expectedRoutes);
        const QStringList canaries =
            QDir(sandbox.root()).entryList({QStringLiteral("CANARY*")}) + QDir().entryList({QStringLiteral("CANARY*")});
        QCOMPARE(canaries, QStringList());

        // What the tools answered is what the speed-test report holds.
        const QStringList speed = reportFiles(QStringLiteral("SupportLog_network_speedTest_"));
        QCOMPARE(speed.size(), 1);
        const QString report = QString::fromUtf8(readFile(speed.first()));
        QCOMPARE(report.count(QStringLiteral("ping answered")), expectedPings.size());
        QCOMPARE(report.count(QStringLiteral("traceroute answered")), expectedRoutes.size());
    }

    // Thousands of targets would keep the action busy for days: the first
    // ones are tested, and the pane and a warning record say so.
    void thousandsOfKeys()
    {
        const FixturePath fixtures;
        addRecordingTools(fixtures);
        Sandbox sandbox;
        QByteArray group = "[ipconfig]\n";
        for (int i = 1; i <= 5000; ++i)
            group += QByteArray::number(i) + "=10.0." + QByteArray::number(i / 256) + '.' + QByteArray::number(i % 256) + '\n';
        appendToSettings(group + localServerHosts());
        sandbox.snapshot();

        QString pane;
        runNetworkAction(sandbox, true, &pane);
        if (QTest::currentTestFailed())
            return;

        const QString notice = QStringLiteral("SupportToolConfig.ini lists 5000 addresses to test; only the first 50 "
                                              "are pinged and traced");
        QVERIFY(pane.contains(notice));
        const QStringList pings = toolRuns(fixtures, "ping");
        QCOMPARE(pings.size(), 50);
        QCOMPARE(toolRuns(fixtures, "traceroute").size(), 50);
        // Keys are listed in text order: 1, 10, 100, 1000, 1001, ...
        QCOMPARE(pings.first(), QStringLiteral("[-c][4][--][10.0.0.1]"));
        QCOMPARE(pings.at(1), QStringLiteral("[-c][4][--][10.0.0.10]"));
        QCOMPARE(mainWindowWarnings(), QStringList{QStringLiteral("409 ") + notice});
    }

    // Where the list is cut: only usable targets count, the cap and the
    // length limit are inclusive, and a cut never reorders what is kept.
    void addressListBounds_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("kept");
        QTest::addColumn<int>("targets");
        QTest::addColumn<int>("tooLong");
        QStringList fifty;
        for (int i = 0; i < pingtargets::kMaxTargets; ++i)
            fifty << QStringLiteral("host%1").arg(i);
        QTest::newRow("exactly the cap") << fifty << 50 << 50 << 0;
        QTest::newRow("one past the cap") << fifty + QStringList{QStringLiteral("extra")} << 50 << 51 << 0;
        QTest::newRow("comments and blanks do not count")
            << fifty + QStringList{QStringLiteral(";comment"), QString(), QStringLiteral("   ")} << 53 << 50 << 0;
        QTest::newRow("longest name and one more")
            << QStringList{QString(253, QLatin1Char('a')), QString(254, QLatin1Char('b')) + QStringLiteral(" c")} << 1
            << 1 << 1;
        QTest::newRow("lines of one value count one by one")
            << QStringList{QStringLiteral("a\r\n") + QString(300, QLatin1Char('x')) + QStringLiteral("\nb")} << 2 << 2
            << 1;
    }
    void addressListBounds()
    {
        QFETCH(QStringList, values);
        QFETCH(int, kept);
        QFETCH(int, targets);
        QFETCH(int, tooLong);
        const pingtargets::AddressList list = pingtargets::addressList(values);
        QCOMPARE(list.lines.size(), kept);
        QCOMPARE(list.targets, targets);
        QCOMPARE(list.tooLong, tooLong);
        QCOMPARE(list.lines.first(), values.first().split(QLatin1Char('\n')).first());
    }

    // Files no settings library should choke on: the action still ends in
    // time and comes back, says what it could not use, and tests what it can.
    void unusableFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("pinged");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<bool>("serversNamed"); // else the built-in hosts are tried, and fail at the loopback guard

        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator generator(20261207);
        for (char &byte : garbage)
            byte = char(generator.bounded(256));
        // The settings library gives up on the whole file: no address is
        // tested, and the servers are tried at their built-in hosts.
        QTest::newRow("binary garbage") << garbage << QStringList() << QStringList() << false;
        QTest::newRow("binary garbage, then a readable group")
            << garbage + "\n[ipconfig]\n1=127.0.0.1\n" + localServerHosts() << QStringList() << QStringList() << false;
        QTest::newRow("a value of 1 MB")
            << "[ipconfig]\n1=" + QByteArray(1024 * 1024, 'a') + "\n2=127.0.0.1\n" + localServerHosts()
            << QStringList{QStringLiteral("[-c][4][--][127.0.0.1]")}
            << QStringList{QStringLiteral("410 SupportToolConfig.ini holds addresses longer than 253 characters (1), "
                                          "which cannot be host names; they are not tested")}
            << true;
        QTest::newRow("a value of 1 MB of blanks before the host")
            << "[ipconfig]\n1=" + QByteArray(1024 * 1024, ' ') + "x\n" + localServerHosts()
            << QStringList{QStringLiteral("[-c][4][--][x]")} << QStringList() << true;
        QTest::newRow("longest host name")
            << "[ipconfig]\n1=" + QByteArray(253, 'h') + "\n" + localServerHosts()
            << QStringList{QStringLiteral("[-c][4][--][%1]").arg(QString(253, QLatin1Char('h')))} << QStringList()
            << true;
        // The quote runs on to the end of the group: the lines it took in are
        // tested as they stand, each as one plain argument.
        QTest::newRow("unterminated quote and section")
            << "[ipconfig\n1=\"127.0.0.1\n[ipconfig]\n2=\"unterminated\n" + localServerHosts()
            << QStringList{QStringLiteral("[-c][4][--][127.0.0.1]"), QStringLiteral("[-c][4][--][[ipconfig]]"),
                           QStringLiteral("[-c][4][--][2=unterminated]")}
            << QStringList() << true;
    }
    void unusableFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, pinged);
        QFETCH(QStringList, warnings);
        QFETCH(bool, serversNamed);
        const FixturePath fixtures;
        addRecordingTools(fixtures);
        Sandbox sandbox;
        appendToSettings(content);
        sandbox.snapshot();

        runNetworkAction(sandbox, serversNamed);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(toolRuns(fixtures, "ping"), pinged);
        QCOMPARE(mainWindowWarnings(), warnings);
    }

    // A settings file the tool cannot read counts as an empty one.
    void unreadableFile_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::newRow("no permissions") << QStringLiteral("no permissions");
        // These are unreadable to root as well.
        QTest::newRow("a folder of that name") << QStringLiteral("folder");
        // Opening a pipe for reading waits for a writer: nobody may wait on it.
        QTest::newRow("a pipe of that name") << QStringLiteral("pipe");
    }
    void unreadableFile()
    {
        QFETCH(QString, shape);
        const bool folder = shape == QLatin1String("folder");
        const FixturePath fixtures;
        addRecordingTools(fixtures);
        Sandbox sandbox;
        if (folder) {
            QVERIFY(QDir().mkpath(kSettings + QStringLiteral("/ipconfig")));
        } else if (shape == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(kSettings).constData(), 0600), 0);
        } else {
            appendToSettings(addressGroup({QStringLiteral("127.0.0.1")}));
            QFile::setPermissions(kSettings, {});
            QFile probe(kSettings);
            if (probe.open(QIODevice::ReadOnly))
                QSKIP("this user reads files whatever their permissions (root): the case cannot be made here");
        }
        sandbox.snapshot();
        QString pane;
        runNetworkAction(sandbox, false, &pane);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(toolRuns(fixtures, "ping"), QStringList());
        QVERIFY(!pane.contains(QStringLiteral(" done from ")));

        // Nor does the terms gate break, replace or wait on it.
        QSettings settings(settingsfile::path(), QSettings::IniFormat);
        QVERIFY(agreement::passGate(settings, [] { return 1; }));
        settings.sync();
        QCOMPARE(QFileInfo(kSettings).isDir(), folder);
        QCOMPARE(QFileInfo(kSettings).isFile(), shape == QLatin1String("no permissions"));
    }

    // The terms gate writes its entry into the same file: whatever the file
    // held that the settings library could read must still be there after.
    void agreementGateKeepsTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("addresses");
        QTest::addColumn<bool>("unparsable"); // then the file must be left exactly as it was
        QByteArray many = "[ipconfig]\n";
        for (int i = 1; i <= 5000; ++i)
            many += QByteArray::number(i) + "=10.0.0." + QByteArray::number(i % 256) + '\n';
        QTest::newRow("thousands of keys") << many << 5000 << false;
        QTest::newRow("a value of 1 MB") << "[ipconfig]\n1=" + QByteArray(1024 * 1024, 'a') + "\n" << 1 << false;
        QTest::newRow("metacharacters") << QByteArray("[ipconfig]\n1=\"a;b|c`d`$(e)&f\"\n2=-f\n") << 2 << false;
        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator generator(20261207);
        for (char &byte : garbage)
            byte = char(generator.bounded(256));
        // The settings library reads nothing of these, or reads them wrongly:
        // written back, the user's lines would be gone or changed.
        QTest::newRow("garbage before a group") << garbage + "\n[ipconfig]\n1=127.0.0.1\n" << 0 << true;
        QTest::newRow("unterminated quote")
            << QByteArray("[ipconfig\n1=\"127.0.0.1\n[ipconfig]\n2=\"unterminated\n") << 1 << true;
    }
    void agreementGateKeepsTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, addresses);
        QFETCH(bool, unparsable);
        Sandbox sandbox;
        appendToSettings(content);

        QMap<QString, QVariant> before;
        {
            QSettings settings(kSettings, QSettings::IniFormat);
            settings.beginGroup(QStringLiteral("ipconfig"));
            for (const QString &key : settings.childKeys())
                before.insert(key, settings.value(key));
        }
        QCOMPARE(before.size(), addresses);

        // At start-up the gate is the first to read the file; the settings
        // library would otherwise answer from what it read above.
        const QDateTime modified = QFileInfo(kSettings).lastModified();
        QFile file(kSettings);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified.addSecs(-10), QFileDevice::FileModificationTime));
        file.close();

        int asked = 0;
        {
            QSettings settings(kSettings, QSettings::IniFormat);
            QVERIFY(agreement::passGate(settings, [&] { return ++asked, 1; }));
        }
        QCOMPARE(asked, 1);
        QSettings settings(kSettings, QSettings::IniFormat);
        if (!unparsable)
            QCOMPARE(settings.value(kAgreed).toInt(), 1);
        settings.beginGroup(QStringLiteral("ipconfig"));
        QMap<QString, QVariant> after;
        for (const QString &key : settings.childKeys())
            after.insert(key, settings.value(key));
        QCOMPARE(after, before);
        if (unparsable)
            QCOMPARE(readFile(kSettings), content);
        QCOMPARE(sandbox.strayChanges(), QStringList());
    }
};

QTEST_MAIN(FaultSettingsTest)
#include "tst_fault_settings.moc"
