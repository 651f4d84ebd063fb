// The whole network action under the offscreen platform: the address loops
// run by cmd (Windows' own, or the stand-in cmd elsewhere) with fixture ping
// and route tools first on the search path, a fixture powershell, the server
// endpoints pointed at local servers through the settings file.

#include "addresstools.h"
#include "localhttpserver.h"
#include "network/serverendpoints.h"
#include "networksettings.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using testsupport::AddressTool;
using testsupport::FixtureSteps;
using testsupport::HttpAnswer;
using testsupport::LocalHttpServer;
using testsupport::Record;
using Transport = testsupport::LocalHttpServer::Transport;

namespace {

const QString kMissingSettings =
    QStringLiteral("There is no SupportToolConfig.ini in installzation folder, can not do net network speed test");
const QString kAddressTestsDone = QStringLiteral("ping and traceout finished, test server....");
const QString kConfigurationStart = QStringLiteral("Start to test your Network Configuration");
// Stands for the milliseconds of a done request in expected pane lines and records.
const QString kMs = QStringLiteral("<ms>");

// The report that is current when the action starts: records written before
// its first switch land here.
const QString kEarlierReport = QStringLiteral("./logs/SupportTool/SupportLog_earlier_");

QString paneText(MainWindow &window) { return window.findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText(); }

// The pane lines the action added to what the pane showed before.
QStringList linesAddedTo(const QString &before, const QString &after)
{
    const QString added = before.isEmpty() ? after : after.mid(before.size() + 1);
    return added.split(QLatin1Char('\n'));
}

// What one endpoint adds to the pane: one line per append, and an empty
// line for the line feed that ends its last append.
QStringList endpointLines(serverendpoints::Test test, const QString &baseUrl, bool done)
{
    const QString what =
        test == serverendpoints::Test::Download ? QStringLiteral("download file") : QStringLiteral("query API");
    if (done)
        return {what + QStringLiteral(" done from "), baseUrl, QStringLiteral(" in "), kMs, QStringLiteral(" ms "),
                QString()};
    return {what + QStringLiteral(" fail from "), baseUrl, QStringLiteral(" failed "), QString()};
}

Record serverRecord(serverendpoints::Test test, const QString &baseUrl, bool done)
{
    const bool download = test == serverendpoints::Test::Download;
    const QString what = download ? QStringLiteral("download file") : QStringLiteral("query API");
    if (done)
        return {QLatin1Char('I'), QStringLiteral("mainwindow.cpp"), download ? 325 : 354,
                what + QStringLiteral(" done from ") + baseUrl + QStringLiteral(" in ") + kMs + QStringLiteral(" ms")};
    return {QLatin1Char('I'), QStringLiteral("mainwindow.cpp"), download ? 318 : 347,
            what + QStringLiteral(" fail from ") + baseUrl + QStringLiteral(" failed")};
}

Record closingServerRecord()
{
    return {QLatin1Char('I'), QStringLiteral("mainwindow.cpp"), 364, QLatin1Char('\n') + records::hyphens(91)};
}

// Texts equal, where kMs in the expected text stands for a decimal number.
bool sameText(const QString &actual, const QString &expected)
{
    const QString pattern = QRegularExpression::escape(expected).replace(QRegularExpression::escape(kMs),
                                                                         QStringLiteral("\\d+"));
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(actual).hasMatch();
}

void compareLines(const QStringList &actual, const QStringList &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i)
        QVERIFY2(sameText(actual.at(i), expected.at(i)),
                 qPrintable(QStringLiteral("line %1: \"%2\", expected \"%3\"").arg(i).arg(actual.at(i), expected.at(i))));
}

void compareRecords(const QList<Record> &actual, const QList<Record> &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        const Record &a = actual.at(i);
        const Record &e = expected.at(i);
        QVERIFY2(a.level == e.level && a.file == e.file && a.line == e.line && sameText(a.text, e.text),
                 qPrintable(QStringLiteral("record %1: %2 %3:%4 \"%5\", expected %6 %7:%8 \"%9\"")
                                .arg(i)
                                .arg(a.level)
                                .arg(a.file)
                                .arg(a.line)
                                .arg(a.text)
                                .arg(e.level)
                                .arg(e.file)
                                .arg(e.line)
                                .arg(e.text)));
    }
}

QList<Record> onlyReport(const QString &namePrefix)
{
    const QStringList files = testsupport::reportFiles(namePrefix);
    if (files.size() != 1) {
        qWarning() << "expected one report" << namePrefix << "found" << files;
        return {};
    }
    return testsupport::recordsOf(files.first());
}

QString earlierReportName() { return QStringLiteral("SupportLog_earlier_"); }

// Fixture ping and route tools that note their arguments, and the two lists
// they find (the ping tool), and answer each target with one result line
// and a complaint on standard error; extra steps end the ping tool's run.
void addFixtureTools(const testsupport::FixturePath &fixtures, const FixtureSteps &extra = {})
{
    const QDir dir(fixtures.path());
    testsupport::addAddressTool(fixtures, AddressTool::Ping,
                                testsupport::loggingSteps(fixtures, AddressTool::Ping)
                                    .append(QStringLiteral("ipconfig.txt"), dir.filePath(QStringLiteral("ipconfig.seen")))
                                    .append(QStringLiteral("downloadConfig.txt"),
                                            dir.filePath(QStringLiteral("download.seen")))
                                    .out("PING RESULT\r\n")
                                    .err("<ping>")
                                    .then(extra));
    testsupport::addAddressTool(fixtures, AddressTool::Route,
                                testsupport::loggingSteps(fixtures, AddressTool::Route).out("ROUTE RESULT\r\n").err("<route>"));
}

// The runs of both tools, as the loops started them, for these targets.
QList<QStringList> runsFor(AddressTool tool, const QStringList &targets)
{
    QList<QStringList> runs;
    for (const QString &target : targets)
        runs << testsupport::addressToolArguments(tool, target);
    return runs;
}

// The text of one record made of the lines repeated.
QString repeatedLines(const QString &line, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << line;
    return lines.join(QLatin1Char('\n'));
}

QByteArray fixtureFile(const testsupport::FixturePath &fixtures, const QString &name)
{
    return testsupport::readFile(QDir(fixtures.path()).filePath(name));
}

void runAction(MainWindow &window)
{
    records::switchReport(kEarlierReport);
    window.GetNetInfo();
}

} // namespace

class NetworkDiagnosisTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        testsupport::initWindowTests();
    }

    void wholeRunAgainstLocalServers()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        addFixtureTools(fixtures);
        fixtures.addPowerShell({});

        const HttpAnswer ok{200, "OK", "{\"test\": true}", {}, -1};
        LocalHttpServer plainOk(Transport::Plain, ok);
        LocalHttpServer tlsOk(Transport::Tls, ok);
        LocalHttpServer tlsMissing(Transport::Tls, HttpAnswer{404, "Not Found", "gone", {}, -1});
        LocalHttpServer plainMoved(Transport::Plain,
                                   HttpAnswer{301, "Moved Permanently", {}, "Location: http://127.0.0.1:1/\r\n", -1});
        LocalHttpServer silent(Transport::Plain, std::nullopt);
        const QList<LocalHttpServer *> servers{&plainOk, &tlsOk, &tlsMissing, &plainMoved, &tlsOk, &silent};
        const QList<bool> done{true, true, false, false, true, false};
        QStringList hosts;
        for (LocalHttpServer *server : servers)
            hosts << server->hostAndPort();

        QByteArray ipconfig = "[ipconfig]\n";
        for (int key = 1; key <= 10; ++key)
            ipconfig += QByteArray::number(key) + "=host" + QByteArray::number(key) + ".example"
                      + (key == 2 ? " main office" : "") + '\n';
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         ipconfig + "[downloadConfig]\nfile=alpha,beta\nsize=10MB\n" + testsupport::serverHostsGroup(hosts, 1));
        folder.writeFile(QStringLiteral("logs/SupportTool/tracertResult.txt"), "OLD ROUTE\r\n");
        folder.writeFile(QStringLiteral("temp/nested/left.txt"), "left over");

        MainWindow window;
        const QString before = paneText(window);
        QElapsedTimer clock;
        clock.start();
        runAction(window);
        // Without its time-out the request to the silent server would wait
        // for ever; the bound leaves room for twenty tool runs under Wine.
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed < 40000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));

        // Both loops ran, in the working folder, over the list in file order:
        // each tool once per target, the first word of each line.
        QStringList targets;
        for (int key = 1; key <= 10; ++key)
            targets << QStringLiteral("host%1.example").arg(key);
        QCOMPARE(testsupport::addressToolRuns(fixtures, AddressTool::Ping), runsFor(AddressTool::Ping, targets));
        QCOMPARE(testsupport::addressToolRuns(fixtures, AddressTool::Route), runsFor(AddressTool::Route, targets));
        const QByteArray list = "host1.example\nhost2.example main office\nhost3.example\nhost4.example\n"
                                "host5.example\nhost6.example\nhost7.example\nhost8.example\nhost9.example\n"
                                "host10.example\n";
        QCOMPARE(fixtureFile(fixtures, QStringLiteral("ipconfig.seen")), list.repeated(10));
        QCOMPARE(fixtureFile(fixtures, QStringLiteral("download.seen")), QByteArray("alpha,beta\n10MB\n").repeated(10));

        // The pane: the console's own text of each loop, the address-test
        // notice, five lines per done endpoint and three per failed one, then
        // the configuration. The stand-in cmd echoes each command its loop
        // runs, as Windows' cmd does; Wine's cmd echoes none. The results go
        // to their files, never to the pane.
        const QStringList added = linesAddedTo(before, paneText(window));
        const int noticeAt = added.indexOf(kAddressTestsDone);
        QVERIFY(noticeAt >= 2);
        const QString console = added.mid(0, noticeAt).join(QLatin1Char('\n'));
        QVERIFY2(!console.contains(QStringLiteral("RESULT")), qPrintable(console));
#ifndef Q_OS_WIN
        QVERIFY(console.contains(QStringLiteral("(ping -n 4 host1.example  1>>./logs/SupportTool/pingResult.txt )")));
        QVERIFY(console.contains(QStringLiteral("(tracert host10.example  1>>./logs/SupportTool/tracertResult.txt )")));
#endif
        QStringList expectedPane{kAddressTestsDone};
        QList<Record> expectedServer;
        QStringList expectedPaths[6];
        for (int i = 0; i < 6; ++i) {
            const serverendpoints::Endpoint &endpoint = serverendpoints::all().at(i);
            const QString baseUrl = endpoint.scheme + QStringLiteral("://") + hosts.at(i) + endpoint.basePath;
            expectedPane << endpointLines(endpoint.test, baseUrl, done.at(i));
            expectedServer << serverRecord(endpoint.test, baseUrl, done.at(i));
        }
        expectedServer << closingServerRecord();
        expectedPane << kConfigurationStart << QString() << QString() << QString() << QString();
        compareLines(added.mid(noticeAt), expectedPane);

        QCOMPARE(plainOk.requestedPaths(), QStringList{QStringLiteral("/test//response.json")});
        QCOMPARE(tlsOk.requestedPaths(),
                 (QStringList{QStringLiteral("/test//response.json"), QStringLiteral("/tessaly-admin/network/test")}));
        QCOMPARE(tlsMissing.requestedPaths(), QStringList{QStringLiteral("/test/response.json")});
        QCOMPARE(plainMoved.requestedPaths(), QStringList{QStringLiteral("/test/response.json")});
        QCOMPARE(silent.requestedPaths(), QStringList{QStringLiteral("/network/test")});
        // Nothing is sent: every request only asks.
        for (const LocalHttpServer *server : servers) {
            for (const QString &method : server->requestMethods())
                QCOMPARE(method, QStringLiteral("GET"));
        }

        // Before its first switch the action writes only the runner's
        // warnings: what the tools wrote to standard error through cmd.
        const auto complaints = [](const QString &complaint) {
            return Record{QLatin1Char('W'), QStringLiteral("displaysystemrelatedinfo.cpp"), 46, complaint.repeated(10)};
        };
        compareRecords(onlyReport(earlierReportName()),
                       {complaints(QStringLiteral("<ping>")), complaints(QStringLiteral("<route>"))});

        const QString hyphenLine = records::hyphens(98);
        const auto mainWindowRecord = [](int line, const QString &text) {
            return Record{QLatin1Char('I'), QStringLiteral("mainwindow.cpp"), line, text};
        };
        compareRecords(onlyReport(QStringLiteral("SupportLog_network_speedTest_")),
                       {mainWindowRecord(155, QStringLiteral("PING.......")),
                        mainWindowRecord(159, repeatedLines(QStringLiteral("PING RESULT\r"), 10)),
                        mainWindowRecord(161, hyphenLine), mainWindowRecord(163, QStringLiteral("Tracert.......")),
                        mainWindowRecord(167, repeatedLines(QStringLiteral("ROUTE RESULT\r"), 10)),
                        mainWindowRecord(169, hyphenLine)});
        // The results are copied byte for byte, on Windows too: no "\r" of
        // the report's own before the tool's "\r\n".
        const QByteArray speedTest =
            testsupport::readFile(testsupport::reportFiles(QStringLiteral("SupportLog_network_speedTest_")).first());
        QVERIFY(speedTest.contains("mainwindow.cpp:167] ROUTE RESULT\r\nROUTE RESULT\r\n"));
        QVERIFY(!speedTest.contains("\r\r\n"));
        compareRecords(onlyReport(QStringLiteral("SupportLog_network_server_")), expectedServer);

        for (const QString &gone : {QStringLiteral("ipconfig.txt"), QStringLiteral("downloadConfig.txt"),
                                    QStringLiteral("temp"), QStringLiteral("logs/SupportTool/pingResult.txt"),
                                    QStringLiteral("logs/SupportTool/tracertResult.txt")})
            QVERIFY2(!QFileInfo::exists(gone), qPrintable(gone));
        QVERIFY(QFile::exists(QStringLiteral("SupportToolConfig.ini")));

        for (QPushButton *button : window.findChildren<QPushButton *>())
            QVERIFY(button->isEnabled());
        QVERIFY(window.findChild<QProgressBar *>(QStringLiteral("barProgress"))->isHidden());
    }

    void missingSettingsSkipsTheAddressTests()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        addFixtureTools(fixtures);
        fixtures.addPowerShell({});
        // Without a settings file the built-in hosts are asked for; the
        // tests' loopback guard makes each request fail at once, locally.

        MainWindow window;
        const QString before = paneText(window);
        runAction(window);

        QStringList expectedPane{kMissingSettings};
        QList<Record> expectedServer;
        for (const serverendpoints::Endpoint &endpoint : serverendpoints::all()) {
            const QString baseUrl = endpoint.scheme + QStringLiteral("://") + endpoint.defaultHost + endpoint.basePath;
            expectedPane << endpointLines(endpoint.test, baseUrl, false);
            expectedServer << serverRecord(endpoint.test, baseUrl, false);
        }
        expectedServer << closingServerRecord();
        expectedPane << kConfigurationStart << QString() << QString() << QString() << QString();
        compareLines(linesAddedTo(before, paneText(window)), expectedPane);

        compareRecords(onlyReport(earlierReportName()),
                       {{QLatin1Char('I'), QStringLiteral("mainwindow.cpp"), 408, kMissingSettings}});
        QVERIFY(testsupport::reportFiles(QStringLiteral("SupportLog_network_speedTest_")).isEmpty());
        compareRecords(onlyReport(QStringLiteral("SupportLog_network_server_")), expectedServer);
        QVERIFY(testsupport::addressToolRuns(fixtures, AddressTool::Ping).isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("ipconfig.txt")));
        QVERIFY(!QFile::exists(QStringLiteral("SupportToolConfig.ini")));
    }

    // An empty list runs no tool, so there are no results to copy and no
    // speed-test report; a route result left from an earlier run without a
    // ping result is removed all the same.
    void emptyAddressList()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        addFixtureTools(fixtures);
        fixtures.addPowerShell({});

        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         "[ipconfig]\n[downloadConfig]\n"
                             + testsupport::closedServerHostsGroup(2));
        folder.writeFile(QStringLiteral("logs/SupportTool/tracertResult.txt"), "OLD ROUTE\r\n");

        MainWindow window;
        const QString before = paneText(window);
        runAction(window);

        const QStringList added = linesAddedTo(before, paneText(window));
        QCOMPARE(added.mid(0, 3), (QStringList{QString(), QString(), kAddressTestsDone}));
        QCOMPARE(added.size(), 3 + 6 * 4 + 5);
        QVERIFY(testsupport::addressToolRuns(fixtures, AddressTool::Ping).isEmpty());
        QVERIFY(testsupport::addressToolRuns(fixtures, AddressTool::Route).isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("logs/SupportTool/pingResult.txt")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("logs/SupportTool/tracertResult.txt")));
        QVERIFY(testsupport::reportFiles(QStringLiteral("SupportLog_network_speedTest_")).isEmpty());
        const Record quiet{QLatin1Char('W'), QStringLiteral("displaysystemrelatedinfo.cpp"), 46, QString()};
        compareRecords(onlyReport(earlierReportName()), {quiet, quiet});
        QVERIFY(!QFile::exists(QStringLiteral("ipconfig.txt")));
    }

    // Closing the window during the ping loop stops the action between its
    // stages: no route loop, no server request, no report of either; the
    // temporary lists and the cut-short ping results are still removed.
    void closingTheWindowStopsTheAction()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        const QString started = QDir(fixtures.path()).filePath(QStringLiteral("ping.started"));
        addFixtureTools(fixtures, FixtureSteps().out("CUT SHORT\r\n").touch(started).hang());
        fixtures.addPowerShell({});
        LocalHttpServer server(Transport::Plain, HttpAnswer{});
        const QString host = server.hostAndPort();
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         "[ipconfig]\n1=127.0.0.1\n"
                             + testsupport::serverHostsGroup(QStringList() << host << host << host << host << host << host, 1));

        MainWindow window;
        window.show();
        const QString before = paneText(window);
        // Closed as soon as the ping tool runs (it then waits to be killed).
        QTimer poll;
        testsupport::closeOnceFileExists(window, poll, started);
        QElapsedTimer clock;
        clock.start();
        runAction(window);
        QVERIFY(QFile::exists(started));
        QVERIFY(clock.elapsed() < 15000);
        cancellation::reset();

        QVERIFY(!paneText(window).mid(before.size()).contains(kAddressTestsDone));
        QVERIFY(!paneText(window).contains(kConfigurationStart));
        QCOMPARE(testsupport::addressToolRuns(fixtures, AddressTool::Ping),
                 runsFor(AddressTool::Ping, {QStringLiteral("127.0.0.1")}));
        QVERIFY(testsupport::addressToolRuns(fixtures, AddressTool::Route).isEmpty());
        QVERIFY(server.requestedPaths().isEmpty());
        QVERIFY(testsupport::reportFiles(QStringLiteral("SupportLog_network_speedTest_")).isEmpty());
        QVERIFY(testsupport::reportFiles(QStringLiteral("SupportLog_network_server_")).isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("ipconfig.txt")));
        QVERIFY(!QFile::exists(QStringLiteral("downloadConfig.txt")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("logs/SupportTool/pingResult.txt")));
    }

    // What a run that was killed or cancelled left: a longer address list
    // and the results of its loops. This run pings only its own address and
    // reports only its own answers.
    void leftoversOfAnEarlierRun()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        addFixtureTools(fixtures);
        fixtures.addPowerShell({});
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         testsupport::addressGroup({QStringLiteral("127.0.0.1")}) + "[downloadConfig]\nsize=1MB\n"
                             + testsupport::closedServerHostsGroup(1));
        QByteArray oldList;
        for (int i = 1; i <= 5; ++i)
            oldList += "old-target-" + QByteArray::number(i) + ".a-rather-long-host-name.example  with a comment\n";
        folder.writeFile(QStringLiteral("ipconfig.txt"), oldList);
        folder.writeFile(QStringLiteral("downloadConfig.txt"), oldList);
        folder.writeFile(QStringLiteral("logs/SupportTool/pingResult.txt"), "CANCELLED PING\r\n");
        folder.writeFile(QStringLiteral("logs/SupportTool/tracertResult.txt"), "CANCELLED ROUTE\r\n");

        MainWindow window;
        runAction(window);

        QCOMPARE(fixtureFile(fixtures, QStringLiteral("ipconfig.seen")), QByteArray("127.0.0.1\n"));
        QCOMPARE(fixtureFile(fixtures, QStringLiteral("download.seen")), QByteArray("1MB\n"));
        const QList<Record> speedTest = onlyReport(QStringLiteral("SupportLog_network_speedTest_"));
        QCOMPARE(speedTest.size(), 6);
        QCOMPARE(speedTest.at(1).text, QStringLiteral("PING RESULT\r"));
        QCOMPARE(speedTest.at(4).text, QStringLiteral("ROUTE RESULT\r"));
    }

    // Loops that leave no answers although addresses were listed (a full
    // disk, a tool that cannot write): the speed-test report says so. The
    // cmd here writes no result file: a fixture first on the search path,
    // or on Windows, where CreateProcessW takes cmd from system32 before the
    // search path, one in the current folder, which it searches first.
    void missingResultsAreSaid()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        const FixtureSteps echoOnly = FixtureSteps().out("echo only");
#ifdef Q_OS_WIN
        QVERIFY(testsupport::placeFixture(folder.filePath(QStringLiteral("cmd.exe")), echoOnly));
#else
        fixtures.addFixture(QStringLiteral("cmd"), echoOnly);
#endif
        fixtures.addPowerShell({});
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         testsupport::addressGroup({QStringLiteral("127.0.0.1")}));

        MainWindow window;
        runAction(window);

        const QList<Record> speedTest = onlyReport(QStringLiteral("SupportLog_network_speedTest_"));
        QCOMPARE(speedTest.size(), 1);
        QCOMPARE(speedTest.first().level, QLatin1Char('W'));
        QCOMPARE(speedTest.first().line, 157);
        QVERIFY(speedTest.first().text.startsWith(
            QStringLiteral("logs/SupportTool/pingResult.txt and logs/SupportTool/tracertResult.txt were not written")));
        QVERIFY(paneText(window).contains(speedTest.first().text));
    }

    // A folder standing under the list's or a result's name: the loops do
    // not run, rather than ping old addresses or report old answers.
    void namesThatCannotBeWrittenAfreshSkipTheLoops()
    {
        const QList<QPair<QString, int>> cases{{QStringLiteral("ipconfig.txt"), 413},
                                               {QStringLiteral("logs/SupportTool/tracertResult.txt"), 414}};
        for (const auto &blocked : cases) {
            testsupport::InstallFolder folder;
            testsupport::FixturePath fixtures;
            addFixtureTools(fixtures);
            fixtures.addPowerShell({});
            folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                             testsupport::addressGroup({QStringLiteral("127.0.0.1")}));
            folder.writeFile(blocked.first + QStringLiteral("/inside.txt"), "kept");

            MainWindow window;
            runAction(window);

            QVERIFY(testsupport::addressToolRuns(fixtures, AddressTool::Ping).isEmpty());
            const QList<Record> earlier = onlyReport(earlierReportName());
            QCOMPARE(earlier.size(), 1);
            QCOMPARE(earlier.first().line, blocked.second);
            QVERIFY(paneText(window).contains(earlier.first().text));
            QCOMPARE(testsupport::readFile(blocked.first + QStringLiteral("/inside.txt")), QByteArray("kept"));
        }
    }

    // A "temp" folder is deleted by every run; a link under that name is
    // removed as a link, a link inside the folder is not followed, and a
    // plain file of that name stays. (The links are symbolic links, which
    // QFile::link makes on Linux alone: on Windows it makes shortcuts.)
    void tempIsRemovedWithoutFollowingLinks()
    {
        QTemporaryDir outside;
        const QString kept = QDir(outside.path()).filePath(QStringLiteral("kept.txt"));
        QFile keptFile(kept);
        QVERIFY(keptFile.open(QIODevice::WriteOnly) && keptFile.write("outside") == 7);
        keptFile.close();

        enum class Temp { Link, Folder, File };
#ifdef Q_OS_WIN
        const bool links = false;
        const QList<Temp> shapes{Temp::Folder, Temp::File};
#else
        const bool links = true;
        const QList<Temp> shapes{Temp::Link, Temp::Folder, Temp::File};
#endif
        for (const Temp shape : shapes) {
            testsupport::InstallFolder folder;
            testsupport::FixturePath fixtures;
            fixtures.addSilentShells();
            if (shape == Temp::Link) {
                QVERIFY(QFile::link(outside.path(), QStringLiteral("temp")));
            } else if (shape == Temp::Folder) {
                folder.writeFile(QStringLiteral("temp/nested/own.txt"), "own");
                if (links) {
                    QVERIFY(QFile::link(outside.path(), QStringLiteral("temp/nested/folder-link")));
                    QVERIFY(QFile::link(kept, QStringLiteral("temp/file-link")));
                }
            } else {
                folder.writeFile(QStringLiteral("temp"), "a file");
            }

            MainWindow window;
            runAction(window);

            const QFileInfo temp(QStringLiteral("temp"));
            if (shape == Temp::File)
                QCOMPARE(testsupport::readFile(temp.filePath()), QByteArray("a file"));
            else
                QVERIFY2(!temp.exists() && !temp.isSymLink(), shape == Temp::Link ? "link" : "folder");
            QCOMPARE(testsupport::readFile(kept), QByteArray("outside"));
            QCOMPARE(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList{QStringLiteral("kept.txt")});
        }
    }
};

QTEST_MAIN(NetworkDiagnosisTest)
#include "tst_networkdiagnosis.moc"
