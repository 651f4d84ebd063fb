// The network action and the agreement gate against hostile settings files:
// garbage, a huge value, thousands of keys, values made to break out of a
// command line or pass for options, host names beyond ASCII, a file that
// cannot be read. The address tests run through cmd (Windows' own, or the
// stand-in cmd elsewhere) with fixture ping and route tools that note what
// they were given.

#include "addresstools.h"
#include "app/agreementgate.h"
#include "faultverdict.h"
#include "installation/addresslist.h"
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
#include <QtTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

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

// Fixture ping and route tools: each run notes its arguments and prints a
// result line naming the tool.
void addRecordingTools(const FixturePath &fixtures)
{
    for (const AddressTool tool : {AddressTool::Ping, AddressTool::Route})
        addAddressTool(fixtures, tool, loggingSteps(fixtures, tool).out(addressToolName(tool).toUtf8() + " answered\n"));
    fixtures.addPowerShell({});
}

// The runs the loops would make of the tool for these targets, in order.
QList<QStringList> runsFor(AddressTool tool, const QStringList &targets)
{
    QList<QStringList> runs;
    for (const QString &target : targets)
        runs << addressToolArguments(tool, target);
    return runs;
}

QString keyOf(int index) { return QStringLiteral("v%1").arg(index + 1, 4, 10, QLatin1Char('0')); }

// Writes values as keys v0001, v0002, ... of [ipconfig], as a user would.
void writeAddressValues(const QList<Value> &values)
{
    QByteArray group = "[ipconfig]\n";
    for (int i = 0; i < values.size(); ++i)
        group += keyOf(i).toUtf8() + '=' + values.at(i).text.toUtf8() + '\n';
    QFile file(kSettings);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(group);
}

QVector<settingsgroups::Entry> entriesOf(const QStringList &values)
{
    QVector<settingsgroups::Entry> entries;
    for (int i = 0; i < values.size(); ++i) {
        settingsgroups::Entry entry;
        entry.key = keyOf(i);
        entry.value = values.at(i);
        entries << entry;
    }
    return entries;
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
    void runNetworkAction(const Sandbox &sandbox, bool serversReachable, QString *pane = nullptr, int boundMs = 30000)
    {
        MainWindow window;
        // Notices about the settings go to the report of the moment.
        records::switchReport(QStringLiteral("./logs/SupportTool/SupportLog_earlier_"));
        const BoundedRun run = runBounded(window, &MainWindow::GetNetInfo, boundMs);
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

    // Whatever a value holds, an address reaches ping and traceroute as one
    // plain argument after "--": never read as an option, never through a
    // shell (a canary that an injection would make stays missing). Values
    // that are no address are named instead, and never reach the tools.
    void valuesReachTheToolsLiterally_data()
    {
        QTest::addColumn<QList<Value>>("values");
        const QString canary = QStringLiteral("CANARY");
        QTest::newRow("shell metacharacters") << QList<Value>{
            {QStringLiteral("127.0.0.1;touch${IFS}CANARY"), {}},
            {QStringLiteral("$(touch${IFS}CANARY)"), {}},
            {QStringLiteral("`touch${IFS}CANARY`"), {}},
            {QStringLiteral("a|touch${IFS}CANARY"), {}},
            {QStringLiteral("a&touch${IFS}CANARY&&b"), {}},
            {QStringLiteral(">CANARY"), {}},
            {QStringLiteral("'q'\"q\"%PATH%"), {}},
            {QStringLiteral("host\ntouch${IFS}CANARY"), {QStringLiteral("host")}},
        };
        QTest::newRow("option-like values") << QList<Value>{
            {QStringLiteral("-f"), {}},
            {QStringLiteral("--help"), {}},
            {QStringLiteral("/all"), {}},
            {QStringLiteral("-c 1000 example"), {}},
            {QStringLiteral("127.0.0.1 -c 1000"), {QStringLiteral("127.0.0.1")}},
        };
        // The list is written in the system's code page and read in the
        // console's: a name beyond ASCII goes to the tools in its IDNA form,
        // the same host in letters every code page holds (Windows' 1252
        // has no Greek or Japanese ones).
        QTest::newRow("host names beyond ASCII") << QList<Value>{
            {QStringLiteral("bücher.example"), {QStringLiteral("xn--bcher-kva.example")}},
            {QStringLiteral("δοκιμή.example ; Ελλάδα"), {QStringLiteral("xn--jxalpdlp.example")}},
            {QStringLiteral("例え.テスト"), {QStringLiteral("xn--r8jz45g.xn--zckzah")}},
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

        QStringList targets;
        QStringList named;
        for (int i = 0; i < values.size(); ++i) {
            const Value &value = values.at(i);
            if (value.targets.isEmpty())
                named << keyOf(i) + QLatin1Char('=');
            targets << value.targets;
        }
        QCOMPARE(addressToolRuns(fixtures, AddressTool::Ping), runsFor(AddressTool::Ping, targets));
        QCOMPARE(addressToolRuns(fixtures, AddressTool::Route), runsFor(AddressTool::Route, targets));
        const QStringList canaries =
            QDir(sandbox.root()).entryList({QStringLiteral("CANARY*")}) + QDir().entryList({QStringLiteral("CANARY*")});
        QCOMPARE(canaries, QStringList());

        // Every value that is no address is named in one warning record.
        const QString warnings = mainWindowWarnings().join(QLatin1Char('\n'));
        for (const QString &name : named)
            QVERIFY2(warnings.contains(name), qPrintable(name));
        QCOMPARE(warnings.startsWith(QStringLiteral("412 ")), !named.isEmpty());

        // What the tools answered is what the speed-test report holds.
        const QStringList speed = reportFiles(QStringLiteral("SupportLog_network_speedTest_"));
        QCOMPARE(speed.size(), 1);
        const QString report = QString::fromUtf8(readFile(speed.first()));
        for (const AddressTool tool : {AddressTool::Ping, AddressTool::Route})
            QCOMPARE(report.count(addressToolName(tool) + QStringLiteral(" answered")), targets.size());
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

        // A hundred tool runs: under Wine each start takes a good part of a second.
        QString pane;
        runNetworkAction(sandbox, true, &pane, 120000);
        if (QTest::currentTestFailed())
            return;

        const QString notice = QStringLiteral("SupportToolConfig.ini lists 5000 addresses to test; only the first 50 "
                                              "are pinged and traced");
        QVERIFY(pane.contains(notice));
        const QList<QStringList> pings = addressToolRuns(fixtures, AddressTool::Ping);
        QCOMPARE(pings.size(), 50);
        QCOMPARE(addressToolRuns(fixtures, AddressTool::Route).size(), 50);
        // The first ones of the file, in its order.
        QCOMPARE(pings.first(), addressToolArguments(AddressTool::Ping, QStringLiteral("10.0.0.1")));
        QCOMPARE(pings.at(1), addressToolArguments(AddressTool::Ping, QStringLiteral("10.0.0.2")));
        QCOMPARE(pings.last(), addressToolArguments(AddressTool::Ping, QStringLiteral("10.0.0.50")));
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
        QTest::newRow("empty values do not count")
            << fifty + QStringList{QString(), QStringLiteral("   "), QStringLiteral(" , ")} << 50 << 50 << 0;
        QTest::newRow("longest name and one more")
            << QStringList{(QString(63, QLatin1Char('a')) + QLatin1Char('.')).repeated(4).left(253),
                           QString(254, QLatin1Char('b')) + QStringLiteral(" c")}
            << 1
            << 1 << 1;
        QTest::newRow("the addresses of one value count one by one")
            << QStringList{QStringLiteral("a, ") + QString(300, QLatin1Char('x')) + QStringLiteral(",b")} << 2 << 2
            << 1;
    }
    void addressListBounds()
    {
        QFETCH(QStringList, values);
        QFETCH(int, kept);
        QFETCH(int, targets);
        QFETCH(int, tooLong);
        const addresslist::AddressList list = addresslist::addressList(entriesOf(values));
        QCOMPARE(list.lines.size(), kept);
        QCOMPARE(list.targets, targets);
        QCOMPARE(list.tooLong, tooLong);
        QCOMPARE(list.lines.first(), addresslist::partsOf(values.first()).first());
    }

    // The lines of the list hold ASCII addresses only: a name beyond ASCII
    // in its IDNA form, its comment kept; one without such a form is named,
    // never written for the console to garble.
    void addressListAsciiForms()
    {
        const QString tooLongInAscii = QString(60, QChar(0x4F8B)) + QStringLiteral(".example");
        const addresslist::AddressList list = addresslist::addressList(
            entriesOf({QStringLiteral("plain.example ; as it is"), QStringLiteral("Bücher.example ; Bücher"),
                       QStringLiteral("fe80::1%3"), tooLongInAscii}));
        QCOMPARE(list.lines, (QStringList{QStringLiteral("plain.example ; as it is"),
                                          QStringLiteral("xn--bcher-kva.example ; Bücher"),
                                          QStringLiteral("fe80::1%3")}));
        QCOMPARE(list.targets, 3);
        QCOMPARE(list.notAddresses, QStringList{keyOf(3) + QLatin1Char('=') + tooLongInAscii});
    }

    // Files no settings library should choke on: the action still ends in
    // time and comes back, says what it could not use, and tests what it can.
    void unusableFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("pinged"); // the targets
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<bool>("serversNamed"); // else the built-in hosts are tried, and fail at the loopback guard

        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator generator(20261207);
        for (char &byte : garbage)
            byte = char(generator.bounded(256));
        // Not text: no setting is used, and the pane and a warning say why;
        // the servers are tried at their built-in hosts.
        const QStringList notText{QStringLiteral(
            "411 SupportToolConfig.ini cannot be read: it holds NUL bytes, so it is no text, or UTF-16 or UTF-32 "
            "without a byte-order mark. It is left as it is: none of its settings are used, and the terms of use are asked at every start")};
        QTest::newRow("binary garbage") << garbage << QStringList() << notText << false;
        QTest::newRow("binary garbage, then a readable group")
            << garbage + "\n[ipconfig]\n1=127.0.0.1\n" + localServerHosts() << QStringList() << notText << false;
        // An "ANSI" file of a Windows editor: its addresses are tested.
        QTest::newRow("8-bit file") << "; B\xFCro M\xFCnchen\r\n[ipconfig]\r\n1=127.0.0.1 ; K\xFC" "che\r\n" + localServerHosts()
                                    << QStringList{QStringLiteral("127.0.0.1")} << QStringList() << true;
        // Every address is tested or named: each of a list, each repeated
        // key, in file order; what is no address is named.
        QTest::newRow("lists, repeated keys, values that are no address")
            << "[ipconfig]\r\nm=127.0.0.8, 127.0.0.9\r\nk=127.0.0.2\r\nbad=@Invalid()\r\nk=127.0.0.3 ; old router\r\n"
               "lonely line\r\n" + localServerHosts()
            << QStringList{QStringLiteral("127.0.0.8"), QStringLiteral("127.0.0.9"), QStringLiteral("127.0.0.2"),
                           QStringLiteral("127.0.0.3")}
            << QStringList{QStringLiteral("412 SupportToolConfig.ini lists values under [ipconfig] that are not "
                                          "addresses; they are not tested: bad=@Invalid(), lonely line")}
            << true;
        QTest::newRow("a value of 1 MB")
            << "[ipconfig]\n1=" + QByteArray(1024 * 1024, 'a') + "\n2=127.0.0.1\n" + localServerHosts()
            << QStringList{QStringLiteral("127.0.0.1")}
            << QStringList{QStringLiteral("410 SupportToolConfig.ini holds addresses longer than 253 characters (1), "
                                          "which cannot be host names; they are not tested")}
            << true;
        QTest::newRow("a value of 1 MB of blanks before the host")
            << "[ipconfig]\n1=" + QByteArray(1024 * 1024, ' ') + "x\n" + localServerHosts()
            << QStringList{QStringLiteral("x")} << QStringList() << true;
        const QByteArray longest = QByteArray(63, 'h') + '.' + QByteArray(63, 'h') + '.' + QByteArray(63, 'h') + '.'
                                 + QByteArray(61, 'h');
        QTest::newRow("longest host name")
            << "[ipconfig]\n1=" + longest + "\n" + localServerHosts()
            << QStringList{QString::fromLatin1(longest)} << QStringList() << true;
        // A header without its "]" starts no group; a quote without its end
        // is part of the value, which is then no address.
        QTest::newRow("unterminated quote and section")
            << "[ipconfig\n1=\"127.0.0.1\n[ipconfig]\n2=\"unterminated\n" + localServerHosts() << QStringList()
            << QStringList{QStringLiteral("412 SupportToolConfig.ini lists values under [ipconfig] that are not "
                                          "addresses; they are not tested: 2=\"unterminated")}
            << true;
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
        QCOMPARE(addressToolRuns(fixtures, AddressTool::Ping), runsFor(AddressTool::Ping, pinged));
        QCOMPARE(mainWindowWarnings(), warnings);
    }

    // A settings file the tool cannot read counts as an empty one.
    void unreadableFile_data()
    {
        QTest::addColumn<QString>("shape");
        // Unreadable to root as well, as is the pipe below.
        QTest::newRow("a folder of that name") << QStringLiteral("folder");
#ifndef Q_OS_WIN
        // Permission bits (Windows' read-only attribute leaves a file readable).
        QTest::newRow("no permissions") << QStringLiteral("no permissions");
        // Opening a pipe for reading waits for a writer: nobody may wait on it.
        // (Windows has no named pipes in folders.)
        QTest::newRow("a pipe of that name") << QStringLiteral("pipe");
#endif
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
#ifndef Q_OS_WIN
        } else if (shape == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(kSettings).constData(), 0600), 0);
#endif
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
        QCOMPARE(addressToolRuns(fixtures, AddressTool::Ping), QList<QStringList>());
        QVERIFY(!pane.contains(QStringLiteral(" done from ")));

        // Nor does the terms gate break, replace or wait on it.
        QString notRecorded;
        QVERIFY(agreement::passGate(kSettings, [] { return 1; }, &notRecorded));
        QVERIFY(!notRecorded.isEmpty());
        QCOMPARE(QFileInfo(kSettings).isDir(), folder);
        QCOMPARE(QFileInfo(kSettings).isFile(), shape == QLatin1String("no permissions"));
    }

    // The terms gate writes its entry into the same file: only that entry
    // changes; a file that cannot be read faithfully is left as it was.
    void agreementGateKeepsTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("after");
        const QByteArray appended = "[AgreeLicense]\nagreed=1\n";
        QByteArray many = "[ipconfig]\n";
        for (int i = 1; i <= 5000; ++i)
            many += QByteArray::number(i) + "=10.0.0." + QByteArray::number(i % 256) + '\n';
        QTest::newRow("thousands of keys") << many << many + appended;
        const QByteArray huge = "[ipconfig]\n1=" + QByteArray(1024 * 1024, 'a');
        QTest::newRow("a value of 1 MB, no last line end") << huge << huge + '\n' + appended;
        const QByteArray odd = "[ipconfig]\n1=\"a;b|c`d`$(e)&f\"\n2=-f\n";
        QTest::newRow("metacharacters") << odd << odd + appended;
        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator generator(20261207);
        for (char &byte : garbage)
            byte = char(generator.bounded(256));
        const QByteArray notText = garbage + "\n[ipconfig]\n1=127.0.0.1\n";
        QTest::newRow("garbage before a group") << notText << notText;
        const QByteArray unterminated = "[ipconfig\n1=\"127.0.0.1\n[ipconfig]\n2=\"unterminated\n";
        QTest::newRow("unterminated quote") << unterminated << unterminated + appended;
    }
    void agreementGateKeepsTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, after);
        Sandbox sandbox;
        appendToSettings(content);
        int asked = 0;
        QVERIFY(agreement::passGate(kSettings, [&] { return ++asked, 1; }));
        QCOMPARE(asked, 1);
        QCOMPARE(readFile(kSettings), after);
        QCOMPARE(sandbox.strayChanges(), QStringList());
    }
};

QTEST_MAIN(FaultSettingsTest)
#include "tst_fault_settings.moc"
