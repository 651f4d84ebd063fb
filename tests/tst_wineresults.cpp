// What the Windows-only code leaves when it runs under Wine, read back by
// the tool's own code: the Direct3D 12 probe's answer through the check that
// reads it, and the ping and route loops' output and result files through
// the runner and the speed-test report. The rows "Wine 8" hold what Wine 8
// (Debian 12, lavapipe) left when it ran the Windows programs; with
// SUPPORTTOOL_WINE_RESULTS naming the results folder of a fresh run of
// scripts/check-windows, that run is read as well, and the command lines it
// gave Wine's cmd are held against the ones the tool builds.

#include "d3d12/d3d12probeline.h"
#include "inspection/displaysystemrelatedinfo.h"
#include "inspection/windowscommands.h"
#include "installation/pingtargets.h"
#include "network/pingreport.h"
#include "records/records.h"
#include "recordsummary.h"
#include "shaping/graphicsshaping.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QtTest>

using namespace testsupport;

namespace {

// The folder of a fresh Wine run, or empty.
QString wineResults() { return qEnvironmentVariable("SUPPORTTOOL_WINE_RESULTS"); }

QByteArray resultFile(const QString &relative)
{
    QFile file(QDir(wineResults()).filePath(relative));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the Wine run left no %s", qPrintable(file.fileName()));
    return file.readAll();
}

// The command line QProcess (Qt 5) hands CreateProcessW on Windows for a
// program and its arguments: the program, quoted when it holds a blank, with
// "\" for "/", and a blank after it; then each argument after a blank of its
// own (so two blanks follow the program), every double quote escaped with a
// backslash and the backslashes before it doubled, the whole argument
// quoted when it is empty or holds a blank or tab, with backslashes at its
// end left after the closing quote so they cannot escape it.
QString windowsCommandLine(QString program, const QStringList &arguments)
{
    if (!program.startsWith(QLatin1Char('"')) && !program.endsWith(QLatin1Char('"')) && program.contains(QLatin1Char(' ')))
        program = QLatin1Char('"') + program + QLatin1Char('"');
    QString line = program.replace(QLatin1Char('/'), QLatin1Char('\\')) + QLatin1Char(' ');
    for (const QString &argument : arguments) {
        QString escaped;
        int backslashes = 0;
        for (const QChar c : argument) {
            if (c == QLatin1Char('"'))
                escaped += QString(backslashes + 1, QLatin1Char('\\'));
            backslashes = c == QLatin1Char('\\') ? backslashes + 1 : 0;
            escaped += c;
        }
        if (escaped.isEmpty() || escaped.contains(QLatin1Char(' ')) || escaped.contains(QLatin1Char('\t'))) {
            int end = escaped.size();
            while (end > 0 && escaped.at(end - 1) == QLatin1Char('\\'))
                --end;
            escaped.insert(end, QLatin1Char('"'));
            escaped.prepend(QLatin1Char('"'));
        }
        line += QLatin1Char(' ') + escaped;
    }
    return line;
}

// What Wine 8's cmd, ping and d3d12 (on vkd3d and lavapipe) left.
const QByteArray kWineList = "127.0.0.1\r\nlocalhost\r\n";
const QByteArray kWinePing =
    "Pinging 127.0.0.1 [127.0.0.1] with 32 bytes of data:\r\n"
    "Reply from 127.0.0.1: bytes=32 time=1ms TTL=64\r\n"
    "Reply from 127.0.0.1: bytes=32 time<1ms TTL=64\r\n"
    "Reply from 127.0.0.1: bytes=32 time<1ms TTL=64\r\n"
    "Reply from 127.0.0.1: bytes=32 time<1ms TTL=64\r\n"
    "\r\n"
    "Ping statistics for 127.0.0.1\r\n"
    "\tPackets: Sent = 4, Received = 4, Lost = 0 (0% loss)\r\n"
    "Approximate round trip times in milli-seconds:\r\n"
    "\tMinimum = 0ms, Maximum = 1ms, Average = 0ms\r\n"
    "Pinging localhost [127.0.0.1] with 32 bytes of data:\r\n"
    "Reply from 127.0.0.1: bytes=32 time<1ms TTL=64\r\n"
    "Reply from 127.0.0.1: bytes=32 time<1ms TTL=64\r\n"
    "Reply from 127.0.0.1: bytes=32 time<1ms TTL=64\r\n"
    "Reply from 127.0.0.1: bytes=32 time<1ms TTL=64\r\n"
    "\r\n"
    "Ping statistics for 127.0.0.1\r\n"
    "\tPackets: Sent = 4, Received = 4, Lost = 0 (0% loss)\r\n"
    "Approximate round trip times in milli-seconds:\r\n"
    "\tMinimum = 0ms, Maximum = 0ms, Average = 0ms\r\n";
// Wine has no tracert: cmd says so on its standard error, once per target,
// and leaves the result file it opened for the redirection empty.
const QByteArray kWineNoTracert =
    "Can't recognize 'tracert 127.0.0.1 ' as an internal or external command, or batch script.\r\n"
    "Can't recognize 'tracert localhost ' as an internal or external command, or batch script.\r\n";
const QByteArray kWineD3D12 = "creation=0x887a0004 query=0x00000000 tier=0\r\n";

const char *const kEarlierReport = "./logs/SupportTool/SupportLog_earlier_";

QList<Record> onlyReport(const QString &namePrefix)
{
    const QStringList files = reportFiles(namePrefix);
    return files.size() == 1 ? recordsOf(files.first()) : QList<Record>();
}

} // namespace

class WineResultsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initLogging();
        // The speed-test report sends each result to the debug channel as well.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }

    void windowsCommandLine_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain words") << "cmd" << QStringList{"/c", "ver"} << "cmd  /c ver";
        QTest::newRow("blank: quoted") << "cmd" << QStringList{"/c", "echo a b"} << "cmd  /c \"echo a b\"";
        QTest::newRow("tab: quoted") << "x" << QStringList{"a\tb"} << "x  \"a\tb\"";
        QTest::newRow("empty: quoted") << "x" << QStringList{""} << "x  \"\"";
        QTest::newRow("quote: escaped") << "x" << QStringList{"say \"hi\""} << "x  \"say \\\"hi\\\"\"";
        QTest::newRow("backslashes before a quote: doubled") << "x" << QStringList{"a\\\"b"} << "x  a\\\\\\\"b";
        QTest::newRow("backslash at the end: after the quote")
            << "x" << QStringList{"C:\\Program Files\\"} << "x  \"C:\\Program Files\"\\";
        QTest::newRow("backslashes inside: kept") << "x" << QStringList{"C:\\a\\b"} << "x  C:\\a\\b";
        QTest::newRow("program with a blank: quoted, backslashes")
            << "C:/Program Files/t.exe" << QStringList{"-v"} << "\"C:\\Program Files\\t.exe\"  -v";
        // The two loops the network action runs.
        QTest::newRow("ping loop") << windowscommands::commandShell() << windowscommands::pingLoop()
                                   << "cmd  /c \"for /f %d in (ipconfig.txt) do (ping -n 4 %d >> "
                                      "./logs/SupportTool/pingResult.txt)\"";
        QTest::newRow("route loop") << windowscommands::commandShell() << windowscommands::routeLoop()
                                    << "cmd  /c \"for /f %d in (ipconfig.txt) do (tracert %d >> "
                                       "./logs/SupportTool/tracertResult.txt)\"";
    }
    void windowsCommandLine()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, line);
        QCOMPARE(::windowsCommandLine(program, arguments), line);
    }

    // Wine's cmd ran exactly the command lines the tool hands the system.
    void wineRanTheToolsCommandLines_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("arguments");
        if (wineResults().isEmpty())
            QSKIP("no Wine run to read (scripts/check-windows sets SUPPORTTOOL_WINE_RESULTS)");
        QTest::newRow("ping loop") << "ping.line" << windowscommands::pingLoop();
        QTest::newRow("route loop") << "route.line" << windowscommands::routeLoop();
    }
    void wineRanTheToolsCommandLines()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, arguments);
        QCOMPARE(QString::fromUtf8(resultFile(file)), ::windowsCommandLine(windowscommands::commandShell(), arguments));
    }

    // On Windows the check hands the facts of the query to the records
    // function itself; elsewhere the facts come as the probe program's line.
    // The probe built for Windows printed its line there (with the Windows
    // line end); read through the check, it must give the same records as the
    // facts themselves, and no warning.
    void d3d12Answer_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("Wine 8, no 12_0 device") << kWineD3D12 << 0;
        QTest::newRow("ray tracing, Windows line end") << QByteArray("creation=0x00000000 query=0x00000000 tier=11\r\n") << 0;
        if (!wineResults().isEmpty())
            QTest::newRow("this Wine run") << resultFile(QStringLiteral("d3d12probe.out"))
                                           << resultFile(QStringLiteral("d3d12probe.exitcode")).trimmed().toInt();
    }
    void d3d12Answer()
    {
        QFETCH(QByteArray, output);
        QFETCH(int, exitCode);
        QCOMPARE(exitCode, 0);
        QVERIFY2(output.endsWith("\r\n") && output.count('\n') == 1, output.constData());
        const std::optional<d3d12probe::Facts> facts = d3d12probe::fromLine(output.chopped(2).toStdString());
        QVERIFY2(facts, output.constData());
        QStringList expected;
        for (const records::CheckRecord &record : graphicsshaping::d3d12Records(*facts))
            expected << QStringLiteral("I displaysystemrelatedinfo.cpp:%1 %2").arg(record.line).arg(asReadBack(record.text));

        InstallFolder folder;
        FixturePath fixtures;
        fixtures.addProgram(QStringLiteral("d3d12probe"), output, {}, exitCode);
        records::switchReport(QStringLiteral("./logs/SupportTool/SupportLog_d3d12_"));
        displaysystemrelatedinfo::instance()->checkD3D12Support();
        QStringList written;
        for (const Record &record : onlyReport(QStringLiteral("SupportLog_d3d12_")))
            written << QStringLiteral("%1 %2:%3 %4").arg(record.level).arg(record.file).arg(record.line).arg(record.text);
        QCOMPARE(written, expected);
    }

    // The loops' outputs and result files, as the network action meets them:
    // the runner takes what cmd wrote (its complaints become the warning
    // record), and the speed-test report copies both result files unchanged
    // before deleting them. An empty route result (no tracert) is copied as
    // an empty record, and the ping results still reach the report.
    void pingAndRouteResults_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QByteArray>("pingOutput");
        QTest::addColumn<QByteArray>("pingErrors");
        QTest::addColumn<QByteArray>("pingResult");
        QTest::addColumn<QByteArray>("routeOutput");
        QTest::addColumn<QByteArray>("routeErrors");
        QTest::addColumn<QByteArray>("routeResult");
        QTest::newRow("Wine 8") << kWineList << QByteArray() << QByteArray() << kWinePing << QByteArray()
                                << kWineNoTracert << QByteArray();
        if (!wineResults().isEmpty()) {
            auto file = [](const char *name) { return resultFile(QStringLiteral("network/") + QLatin1String(name)); };
            QTest::newRow("this Wine run") << file("ipconfig.txt") << file("ping.out") << file("ping.err")
                                           << file("logs/SupportTool/pingResult.txt") << file("route.out")
                                           << file("route.err") << file("logs/SupportTool/tracertResult.txt");
        }
    }
    void pingAndRouteResults()
    {
        QFETCH(QByteArray, list);
        QFETCH(QByteArray, pingOutput);
        QFETCH(QByteArray, pingErrors);
        QFETCH(QByteArray, pingResult);
        QFETCH(QByteArray, routeOutput);
        QFETCH(QByteArray, routeErrors);
        QFETCH(QByteArray, routeResult);

        // Every line of the list (Windows line ends) was one target of each loop.
        const QStringList targets = pingtargets::targetsOf(QString::fromLocal8Bit(list));
        QVERIFY(!targets.isEmpty());
        for (const QString &target : targets) {
            QVERIFY2(pingResult.contains("Pinging " + target.toLocal8Bit() + " "), qPrintable(target));
            QVERIFY2(routeResult.contains(target.toLocal8Bit())
                         || (routeErrors.contains("tracert " + target.toLocal8Bit() + " ")),
                     qPrintable(target));
        }

        InstallFolder folder;
        folder.writeFile(pingtargets::listFileName(), list);
        folder.writeFile(pingreport::pingResultPath(), pingResult);
        folder.writeFile(pingreport::routeResultPath(), routeResult);
        FixturePath fixtures;
        records::switchReport(kEarlierReport);
        displaysystemrelatedinfo &inspection = *displaysystemrelatedinfo::instance();
        QString pingPane;
        fixtures.addProgram(windowscommands::commandShell(), pingOutput, pingErrors);
        inspection.runPing(pingPane);
        QString routePane;
        fixtures.addProgram(windowscommands::commandShell(), routeOutput, routeErrors);
        inspection.runTracert(routePane);
        QCOMPARE(pingPane, QString::fromLocal8Bit(pingOutput));
        QCOMPARE(routePane, QString::fromLocal8Bit(routeOutput));
        const QList<Record> earlier = onlyReport(QStringLiteral("SupportLog_earlier_"));
        QCOMPARE(placesOf(earlier),
                 (QStringList{"W displaysystemrelatedinfo.cpp:46", "W displaysystemrelatedinfo.cpp:46"}));
        QCOMPARE(earlier.at(0).text, asReadBack(QString::fromLocal8Bit(pingErrors)));
        QCOMPARE(earlier.at(1).text, asReadBack(QString::fromLocal8Bit(routeErrors)));

        reportPingTracert();
        const QList<Record> report = onlyReport(QStringLiteral("SupportLog_network_speedTest_"));
        QCOMPARE(placesOf(report), (QStringList{"I mainwindow.cpp:155", "I mainwindow.cpp:159", "I mainwindow.cpp:161",
                                                "I mainwindow.cpp:163", "I mainwindow.cpp:167", "I mainwindow.cpp:169"}));
        QCOMPARE(report.at(1).text, asReadBack(QString::fromUtf8(pingResult)));
        QCOMPARE(report.at(4).text, asReadBack(QString::fromUtf8(routeResult)));
        QVERIFY(!QFile::exists(pingreport::pingResultPath()));
        QVERIFY(!QFile::exists(pingreport::routeResultPath()));
    }
};

QTEST_MAIN(WineResultsTest)
#include "tst_wineresults.moc"
