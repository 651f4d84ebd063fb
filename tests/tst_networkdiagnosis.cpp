// The whole network action under the offscreen platform: fixture cmd and
// powershell first on the search path, the server endpoints pointed at
// local servers through the settings file.

#include "localhttpserver.h"
#include "network/serverendpoints.h"
#include "networksettings.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "testsupport.h"
#include "window/mainwindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

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

// A fixture cmd that records its arguments and the two lists it finds, and
// answers each loop with one result line and one line of console echo;
// extra runs after the arguments are recorded.
void addFixtureCmd(const testsupport::FixturePath &fixtures, const QByteArray &extra = {})
{
    const QByteArray dir = QFile::encodeName(fixtures.path());
    fixtures.addScript(QStringLiteral("cmd"),
                       "printf '[%s]\\n' \"$@\" >> '" + dir + "/cmd.log'\n" + extra +
                       "cat ipconfig.txt >> '" + dir + "/ipconfig.seen'\n"
                       "cat downloadConfig.txt >> '" + dir + "/download.seen'\n"
                       "case \"$2\" in\n"
                       "*ping*) printf 'PING RESULT\\r\\n' >> ./logs/SupportTool/pingResult.txt; printf 'ping echo';;\n"
                       "*tracert*) printf 'ROUTE RESULT\\r\\n' >> ./logs/SupportTool/tracertResult.txt; printf 'route echo';;\n"
                       "esac\n"
                       "printf 'cmd complaint' >&2");
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
        addFixtureCmd(fixtures);
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
        QVERIFY(clock.elapsed() < 10000);

        // Both loops ran, in the working folder, on the list in file order.
        QCOMPARE(fixtureFile(fixtures, QStringLiteral("cmd.log")),
                 QByteArray("[/c]\n[for /f %d in (ipconfig.txt) do (ping -n 4 %d >> ./logs/SupportTool/pingResult.txt)]\n"
                            "[/c]\n[for /f %d in (ipconfig.txt) do (tracert %d >> ./logs/SupportTool/tracertResult.txt)]\n"));
        const QByteArray list = "host1.example\nhost2.example main office\nhost3.example\nhost4.example\n"
                                "host5.example\nhost6.example\nhost7.example\nhost8.example\nhost9.example\n"
                                "host10.example\n";
        QCOMPARE(fixtureFile(fixtures, QStringLiteral("ipconfig.seen")), list + list);
        QCOMPARE(fixtureFile(fixtures, QStringLiteral("download.seen")), QByteArray("alpha,beta\n10MB\nalpha,beta\n10MB\n"));

        // The pane: console echoes, the address-test notice, five lines per
        // done endpoint and three per failed one, then the configuration.
        QStringList expectedPane{QStringLiteral("ping echo"), QStringLiteral("route echo"), kAddressTestsDone};
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
        compareLines(linesAddedTo(before, paneText(window)), expectedPane);

        QCOMPARE(plainOk.requestedPaths(), QStringList{QStringLiteral("/test//response.json")});
        QCOMPARE(tlsOk.requestedPaths(),
                 (QStringList{QStringLiteral("/test//response.json"), QStringLiteral("/tessaly-admin/network/test")}));
        QCOMPARE(tlsMissing.requestedPaths(), QStringList{QStringLiteral("/test/response.json")});
        QCOMPARE(plainMoved.requestedPaths(), QStringList{QStringLiteral("/test/response.json")});
        QCOMPARE(silent.requestedPaths(), QStringList{QStringLiteral("/network/test")});

        // Before its first switch the action writes only the runner's warnings.
        const Record complaint{QLatin1Char('W'), QStringLiteral("displaysystemrelatedinfo.cpp"), 46,
                               QStringLiteral("cmd complaint")};
        compareRecords(onlyReport(earlierReportName()), {complaint, complaint});

        const QString hyphenLine = records::hyphens(98);
        const auto mainWindowRecord = [](int line, const QString &text) {
            return Record{QLatin1Char('I'), QStringLiteral("mainwindow.cpp"), line, text};
        };
        compareRecords(onlyReport(QStringLiteral("SupportLog_network_speedTest_")),
                       {mainWindowRecord(155, QStringLiteral("PING.......")),
                        mainWindowRecord(159, QStringLiteral("PING RESULT\r")), mainWindowRecord(161, hyphenLine),
                        mainWindowRecord(163, QStringLiteral("Tracert.......")),
                        mainWindowRecord(167, QStringLiteral("ROUTE RESULT\r")),
                        mainWindowRecord(169, hyphenLine)});
        // The results are copied byte for byte.
        QVERIFY(testsupport::readFile(testsupport::reportFiles(QStringLiteral("SupportLog_network_speedTest_")).first())
                    .contains("mainwindow.cpp:167] ROUTE RESULT\r\n"));
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
        addFixtureCmd(fixtures);
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
        QVERIFY(!QFile::exists(QDir(fixtures.path()).filePath(QStringLiteral("cmd.log"))));
        QVERIFY(!QFile::exists(QStringLiteral("ipconfig.txt")));
        QVERIFY(!QFile::exists(QStringLiteral("SupportToolConfig.ini")));
    }

    // With the stand-in cmd: an empty list runs no tool, so there are no
    // results to copy and no speed-test report; a route result left from an
    // earlier run without a ping result is removed all the same.
    void emptyAddressListWithTheStandInCmd()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        const QString toolLog = QDir(fixtures.path()).filePath(QStringLiteral("tools.log"));
        for (const QString &tool : {QStringLiteral("ping"), QStringLiteral("traceroute"), QStringLiteral("tracepath")})
            fixtures.addScript(tool, "echo " + tool.toLatin1() + " >> '" + QFile::encodeName(toolLog) + "'");
        fixtures.addPowerShell({});
        testsupport::appendStandInsToPath();

        const QString closed = QStringLiteral("127.0.0.1:%1").arg(LocalHttpServer::closedPort());
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         "[ipconfig]\n[downloadConfig]\n"
                             + testsupport::serverHostsGroup(QStringList() << closed << closed << closed << closed
                                                                           << closed << closed,
                                                             2));
        folder.writeFile(QStringLiteral("logs/SupportTool/tracertResult.txt"), "OLD ROUTE\r\n");

        MainWindow window;
        const QString before = paneText(window);
        runAction(window);

        const QStringList added = linesAddedTo(before, paneText(window));
        QCOMPARE(added.mid(0, 3), (QStringList{QString(), QString(), kAddressTestsDone}));
        QCOMPARE(added.size(), 3 + 6 * 4 + 5);
        QVERIFY(!QFile::exists(toolLog));
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
        addFixtureCmd(fixtures, "printf 'CUT SHORT\\r\\n' >> ./logs/SupportTool/pingResult.txt\nsleep 5\n");
        fixtures.addPowerShell({});
        LocalHttpServer server(Transport::Plain, HttpAnswer{});
        const QString host = server.hostAndPort();
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         "[ipconfig]\n1=127.0.0.1\n"
                             + testsupport::serverHostsGroup(QStringList() << host << host << host << host << host << host, 1));

        MainWindow window;
        window.show();
        const QString before = paneText(window);
        QTimer::singleShot(300, &window, &QWidget::close);
        QElapsedTimer clock;
        clock.start();
        runAction(window);
        QVERIFY(clock.elapsed() < 4000);
        cancellation::reset();

        QVERIFY(!paneText(window).mid(before.size()).contains(kAddressTestsDone));
        QVERIFY(!paneText(window).contains(kConfigurationStart));
        QCOMPARE(fixtureFile(fixtures, QStringLiteral("cmd.log")),
                 QByteArray("[/c]\n[for /f %d in (ipconfig.txt) do (ping -n 4 %d >> ./logs/SupportTool/pingResult.txt)]\n"));
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
        addFixtureCmd(fixtures);
        fixtures.addPowerShell({});
        const QString closed = QStringLiteral("127.0.0.1:%1").arg(LocalHttpServer::closedPort());
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                         testsupport::addressGroup({QStringLiteral("127.0.0.1")}) + "[downloadConfig]\nsize=1MB\n"
                             + testsupport::serverHostsGroup(QStringList() << closed << closed << closed << closed
                                                                           << closed << closed,
                                                             1));
        QByteArray oldList;
        for (int i = 1; i <= 5; ++i)
            oldList += "old-target-" + QByteArray::number(i) + ".a-rather-long-host-name.example  with a comment\n";
        folder.writeFile(QStringLiteral("ipconfig.txt"), oldList);
        folder.writeFile(QStringLiteral("downloadConfig.txt"), oldList);
        folder.writeFile(QStringLiteral("logs/SupportTool/pingResult.txt"), "CANCELLED PING\r\n");
        folder.writeFile(QStringLiteral("logs/SupportTool/tracertResult.txt"), "CANCELLED ROUTE\r\n");

        MainWindow window;
        runAction(window);

        QCOMPARE(fixtureFile(fixtures, QStringLiteral("ipconfig.seen")), QByteArray("127.0.0.1\n127.0.0.1\n"));
        QCOMPARE(fixtureFile(fixtures, QStringLiteral("download.seen")), QByteArray("1MB\n1MB\n"));
        const QList<Record> speedTest = onlyReport(QStringLiteral("SupportLog_network_speedTest_"));
        QCOMPARE(speedTest.size(), 6);
        QCOMPARE(speedTest.at(1).text, QStringLiteral("PING RESULT\r"));
        QCOMPARE(speedTest.at(4).text, QStringLiteral("ROUTE RESULT\r"));
    }

    // Loops that leave no answers although addresses were listed (a full
    // disk, a tool that cannot write): the speed-test report says so.
    void missingResultsAreSaid()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        fixtures.addScript(QStringLiteral("cmd"), "printf 'echo only'");
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
            addFixtureCmd(fixtures);
            fixtures.addPowerShell({});
            folder.writeFile(QStringLiteral("SupportToolConfig.ini"),
                             testsupport::addressGroup({QStringLiteral("127.0.0.1")}));
            folder.writeFile(blocked.first + QStringLiteral("/inside.txt"), "kept");

            MainWindow window;
            runAction(window);

            QVERIFY(!QFile::exists(QDir(fixtures.path()).filePath(QStringLiteral("cmd.log"))));
            const QList<Record> earlier = onlyReport(earlierReportName());
            QCOMPARE(earlier.size(), 1);
            QCOMPARE(earlier.first().line, blocked.second);
            QVERIFY(paneText(window).contains(earlier.first().text));
            QCOMPARE(testsupport::readFile(blocked.first + QStringLiteral("/inside.txt")), QByteArray("kept"));
        }
    }

    // A "temp" folder is deleted by every run; a link under that name is
    // removed as a link, a link inside the folder is not followed, and a
    // plain file of that name stays.
    void tempIsRemovedWithoutFollowingLinks()
    {
        QTemporaryDir outside;
        const QString kept = QDir(outside.path()).filePath(QStringLiteral("kept.txt"));
        QFile keptFile(kept);
        QVERIFY(keptFile.open(QIODevice::WriteOnly) && keptFile.write("outside") == 7);
        keptFile.close();

        enum class Temp { Link, Folder, File };
        for (const Temp shape : {Temp::Link, Temp::Folder, Temp::File}) {
            testsupport::InstallFolder folder;
            testsupport::FixturePath fixtures;
            fixtures.addSilentShells();
            if (shape == Temp::Link) {
                QVERIFY(QFile::link(outside.path(), QStringLiteral("temp")));
            } else if (shape == Temp::Folder) {
                folder.writeFile(QStringLiteral("temp/nested/own.txt"), "own");
                QVERIFY(QFile::link(outside.path(), QStringLiteral("temp/nested/folder-link")));
                QVERIFY(QFile::link(kept, QStringLiteral("temp/file-link")));
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
