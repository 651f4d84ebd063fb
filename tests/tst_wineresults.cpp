// What the Windows code leaves when it runs under Wine, read back by the
// tool's own code: the Direct3D 12 probe's answer through the check that
// reads it, and the ping and route loops' output and result files through
// the runner and the speed-test report. The rows "Wine 8" hold what Wine 8
// (Debian 12, lavapipe) left when the probe and the loops ran there. With
// SUPPORTTOOL_WINE_RESULTS naming the results folder of a fresh run of
// scripts/check-windows, the reports that the packaged runner wrote under
// Wine are read as well: their Direct3D 12 records and their ping and route
// results must be what the tool makes of such answers, and they must hold
// the Linux runner's bytes for the same answers but for what differs by
// machine and platform.

#include "archivesupport.h"
#include "d3d12/d3d12probeline.h"
#include "inspection/displaysystemrelatedinfo.h"
#include "inspection/windowscommands.h"
#include "installation/pingtargets.h"
#include "network/pingreport.h"
#include "records/records.h"
#include "reports/reportrecords.h"
#include "recordsummary.h"
#include "shaping/graphicsshaping.h"
#include "testsupport.h"
#include "windowsanswers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QLoggingCategory>
#include <QtTest>

using namespace testsupport;

namespace {

// The folder of a fresh Wine run, or empty.
QString wineResults() { return qEnvironmentVariable("SUPPORTTOOL_WINE_RESULTS"); }

// The one report whose name starts with namePrefix that a run wrote in its
// installation folder.
QString reportPathIn(const QString &installation, const QString &namePrefix)
{
    const QDir folder(QDir(installation).filePath(QStringLiteral("logs/SupportTool")));
    const QStringList names = folder.entryList({namePrefix + QLatin1Char('*')}, QDir::Files);
    if (names.size() != 1)
        qFatal("the run left %d reports named %s* in %s", int(names.size()), qPrintable(namePrefix),
               qPrintable(folder.path()));
    return folder.filePath(names.first());
}

// Its records, read as the tool reads reports.
QList<Record> reportIn(const QString &installation, const QString &namePrefix)
{
    QList<Record> records;
    for (const reportrecords::Record &record : reportrecords::parse(readFile(reportPathIn(installation, namePrefix))))
        records << Record{record.level, record.file, record.line, record.text};
    return records;
}

// The installation folders of the two "all" runs on the same answers.
QString resultPath(const QString &name) { return QFileInfo(QDir(wineResults()).filePath(name)).canonicalFilePath(); }
QString wineInstallation() { return resultPath(QStringLiteral("install")); }
QString linuxInstallation() { return resultPath(QStringLiteral("linux-all")); }

QList<Record> wineReport(const QString &namePrefix) { return reportIn(wineInstallation(), namePrefix); }

QString summary(const Record &record)
{
    return QStringLiteral("%1 %2:%3 %4").arg(record.level).arg(record.file).arg(record.line).arg(record.text);
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

// Why a record of the "all" runs may hold other facts under Wine than on
// Linux for the same PowerShell answers, or an empty text when it may not.
// Its place (level, file, line) must match all the same.
QString platformFact(const QString &report, const QList<Record> &records, int index)
{
    const QString place = placesOf({records.at(index)}).first();
    if (report == QLatin1String("SupportLog_HardWare_") && place == QLatin1String("I displaysystemrelatedinfo.cpp:202"))
        return QStringLiteral("the volume list: Linux's mounts, Wine's drives");
    if (report == QLatin1String("SupportLog_network_speedTest_") && place == QLatin1String("I mainwindow.cpp:159"))
        return QStringLiteral("the ping results: Linux's ping through the stand-in cmd, Wine's ping through Wine's cmd");
    if (report == QLatin1String("SupportLog_network_speedTest_") && place == QLatin1String("I mainwindow.cpp:167"))
        return QStringLiteral("the route results: Linux's traceroute, none under Wine (Wine has no tracert)");
    // The network action's first records, the ping and route loops'
    // standard error, land in the report before it (Wine's cmd says it
    // knows no tracert).
    if (report == QLatin1String("SupportLog_software_confliction_") && index >= records.size() - 2
        && place == QLatin1String("W displaysystemrelatedinfo.cpp:46"))
        return QStringLiteral("the address loops' standard error: the stand-in cmd's, Wine's cmd's");
    return QString();
}

// A record's text with what differs by machine and not by platform put
// in general terms: the time a request took, the installation folder and
// the user's AppData folder.
QString general(QString text, const QString &installation)
{
    static const QRegularExpression took(QStringLiteral(" in \\d+ ms$"));
    static const QRegularExpression appData(QStringLiteral("\\S*/Local/quillon/"));
    return text.replace(took, QStringLiteral(" in N ms"))
        .replace(installation, QStringLiteral("INSTALLATION"))
        .replace(appData, QStringLiteral("APPDATA/Local/quillon/"));
}

// A text with its carriage returns and line feeds shown, for a failure message.
QString withLineEndsShown(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

// A report of the runner's "all" as bytes to hold against the other
// platform's, its header first and then one item per record: the header's
// time stamp, machine name and running time, each record's time stamp and
// thread id, and what general() names put in general terms; a record whose
// facts differ by platform (platformFact) only by its place and the reason;
// the Direct3D 12 answer left out. All else, line ends included, stays as
// the file holds it.
QStringList comparableBytes(const QString &installation, const QString &namePrefix, const QString &folderAsWritten)
{
    const QByteArray content = readFile(reportPathIn(installation, namePrefix));
    const QString text = QString::fromUtf8(content);
    if (text.toUtf8() != content)
        return {QStringLiteral("not UTF-8")};
    static const QRegularExpression recordStart(QStringLiteral("^([IWEF])\\d{8} \\d\\d:\\d\\d:\\d\\d\\.\\d{6} +\\d+ "),
                                                QRegularExpression::MultilineOption);
    static const QRegularExpression headerFacts(
        QStringLiteral("^(Log file created at: |Running on machine: |Running duration \\(h:mm:ss\\): )[^\\r\\n]*"),
        QRegularExpression::MultilineOption);
    QVector<int> starts;
    for (auto match = recordStart.globalMatch(text); match.hasNext();)
        starts << match.next().capturedStart();
    starts << text.size();
    const QList<Record> records = reportIn(installation, namePrefix);
    if (records.size() != starts.size() - 1)
        return {QStringLiteral("%1 records read, %2 record prefixes").arg(records.size()).arg(starts.size() - 1)};

    QStringList items{text.left(starts.first()).replace(headerFacts, QStringLiteral("\\1(general)"))};
    for (int i = 0; i < records.size(); ++i) {
        const QString place = placesOf({records.at(i)}).first();
        if (place == QLatin1String("I displaysystemrelatedinfo.cpp:483"))
            break;
        const QString reason = platformFact(namePrefix, records, i);
        if (!reason.isEmpty()) {
            items << place + QStringLiteral(": ") + reason;
            continue;
        }
        const QString record = text.mid(starts.at(i), starts.at(i + 1) - starts.at(i));
        items << general(QString(record).replace(recordStart, QStringLiteral("\\1yyyymmdd hh:mm:ss.uuuuuu threadid ")),
                         folderAsWritten);
    }
    return items;
}

// The findings file of an installation, its report names without their
// time and process, its Direct3D 12 finding (a platform fact) left out.
QStringList findingsBlocks(const QString &installation)
{
    static const QRegularExpression reportName(QStringLiteral("(SupportLog_\\w+?_)\\d{8}-\\d{6}\\.\\d+"));
    const QString text = QString::fromUtf8(readFile(QDir(installation).filePath(QStringLiteral("logs/SupportTool/findings.txt"))))
                             .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                             .replace(reportName, QStringLiteral("\\1"));
    QStringList blocks;
    for (const QString &block : text.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        if (!block.contains(QLatin1String("] d3d12-")) && !block.startsWith(QLatin1String("Tessaly Render Support Tool findings:")))
            blocks << block.trimmed();
    }
    return blocks;
}

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
            written << summary(record);
        QCOMPARE(written, expected);
    }

    // The packaged runner's hardware action under Wine asked Wine's d3d12 in
    // its own process: the report ends with the records of one of the
    // three answers, exactly as the check writes them.
    void wineHardwareReport()
    {
        if (wineResults().isEmpty())
            QSKIP("no Wine run to read (scripts/check-windows sets SUPPORTTOOL_WINE_RESULTS)");
        QList<QStringList> answers;
        for (const d3d12probe::Facts &facts : {d3d12probe::Facts{-2005270524, 0, 0}, d3d12probe::Facts{0, 0, 0},
                                               d3d12probe::Facts{0, 0, 11}}) {
            QStringList records;
            for (const records::CheckRecord &record : graphicsshaping::d3d12Records(facts))
                records << QStringLiteral("I displaysystemrelatedinfo.cpp:%1 %2").arg(record.line).arg(asReadBack(record.text));
            answers << records;
        }
        const QList<Record> report = wineReport(QStringLiteral("SupportLog_HardWare_"));
        QStringList fromD3D12;
        for (const Record &record : report) {
            if (!fromD3D12.isEmpty() || (record.file == QLatin1String("displaysystemrelatedinfo.cpp") && record.line == 483))
                fromD3D12 << summary(record);
        }
        QVERIFY2(answers.contains(fromD3D12), qPrintable(fromD3D12.join(QLatin1Char('\n'))));
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

    // The packaged runner's network action under Wine ran the loops through
    // Wine's cmd with the tool's own process layer, for the two targets of
    // the settings file: the speed-test report holds the ping results of
    // both and the route results (empty where Wine has no tracert), and the
    // result files are gone.
    void wineNetworkReport()
    {
        if (wineResults().isEmpty())
            QSKIP("no Wine run to read (scripts/check-windows sets SUPPORTTOOL_WINE_RESULTS)");
        const QList<Record> report = wineReport(QStringLiteral("SupportLog_network_speedTest_"));
        QCOMPARE(placesOf(report), (QStringList{"I mainwindow.cpp:155", "I mainwindow.cpp:159", "I mainwindow.cpp:161",
                                                "I mainwindow.cpp:163", "I mainwindow.cpp:167", "I mainwindow.cpp:169"}));
        for (const QString &target : {QStringLiteral("127.0.0.1"), QStringLiteral("localhost")}) {
            QVERIFY2(report.at(1).text.contains(QStringLiteral("Pinging %1 ").arg(target)), qPrintable(report.at(1).text));
            QVERIFY2(report.at(4).text.isEmpty() || report.at(4).text.contains(target), qPrintable(report.at(4).text));
        }
        const QDir install(QDir(wineResults()).filePath(QStringLiteral("install")));
        QVERIFY(!QFile::exists(install.filePath(pingreport::pingResultPath())));
        QVERIFY(!QFile::exists(install.filePath(pingreport::routeResultPath())));
    }

    // "all" under Wine and on Linux, on the same PowerShell answers (code
    // page 850 under Wine, UTF-8 on Linux): the hardware, software-conflict
    // and network reports hold the same bytes, line ends included, but for
    // what comparableBytes puts in general terms; the ping results are
    // copied as Wine's ping wrote them, each line ended by one "\r\n".
    void wineReportsHoldLinuxBytes()
    {
        if (wineResults().isEmpty())
            QSKIP("no Wine run to read (scripts/check-windows sets SUPPORTTOOL_WINE_RESULTS)");
        for (const QString &report : {QStringLiteral("SupportLog_HardWare_"), QStringLiteral("SupportLog_software_confliction_"),
                                      QStringLiteral("SupportLog_network_speedTest_"), QStringLiteral("SupportLog_network_server_"),
                                      QStringLiteral("SupportLog_network_config_")}) {
            const QStringList fromWine = comparableBytes(wineInstallation(), report, QStringLiteral("Z:") + wineInstallation());
            const QStringList fromLinux = comparableBytes(linuxInstallation(), report, linuxInstallation());
            for (int i = 0; i < qMax(fromWine.size(), fromLinux.size()); ++i) {
                const QString where = QStringLiteral("%1 item %2:\nWine:  %3\nLinux: %4")
                                          .arg(report)
                                          .arg(i)
                                          .arg(withLineEndsShown(fromWine.value(i)), withLineEndsShown(fromLinux.value(i)));
                QVERIFY2(fromWine.value(i) == fromLinux.value(i) && i < fromWine.size() && i < fromLinux.size(),
                         qPrintable(where));
            }
        }
        const QByteArray speedTest = readFile(reportPathIn(wineInstallation(), QStringLiteral("SupportLog_network_speedTest_")));
        QVERIFY2(!speedTest.contains("\r\r\n") && speedTest.contains("\r\nReply from 127.0.0.1: bytes=32 "),
                 speedTest.constData());
    }

    // The zip report of "all" under Wine holds the Linux runner's records in
    // the same order, with the same texts; the names that need more than
    // ASCII arrive intact in the reports and the findings; the archive holds
    // the reports and the findings file.
    void wineRunnerMatchesLinux()
    {
        if (wineResults().isEmpty())
            QSKIP("no Wine run to read (scripts/check-windows sets SUPPORTTOOL_WINE_RESULTS)");
        const QString wine = wineInstallation();
        const QString linux = linuxInstallation();
        const QString wineFolder = QStringLiteral("Z:") + wine;
        const QList<Record> fromWine = reportIn(wine, QStringLiteral("SupportLog_zip_"));
        const QList<Record> fromLinux = reportIn(linux, QStringLiteral("SupportLog_zip_"));
        QCOMPARE(placesOf(fromWine), placesOf(fromLinux));
        for (int i = 0; i < fromWine.size(); ++i) {
            const QString where = QStringLiteral("SupportLog_zip_ record %1 (%2)").arg(i).arg(summary(fromWine.at(i)));
            QVERIFY2(general(fromWine.at(i).text, wineFolder) == general(fromLinux.at(i).text, linux), qPrintable(where));
        }

        const auto textOf = [&wine](const QString &report) {
            QString text;
            for (const Record &record : reportIn(wine, report))
                text += record.text;
            return text;
        };
        const QString software = textOf(QStringLiteral("SupportLog_software_confliction_"));
        QVERIFY2(software.contains(windowsanswers::conflictingProcess()), qPrintable(software));
        const QString config = textOf(QStringLiteral("SupportLog_network_config_"));
        QVERIFY2(config.contains(windowsanswers::firewallRule()) && config.contains(windowsanswers::adapter()), qPrintable(config));

        const QStringList findings = findingsBlocks(wine);
        QCOMPARE(findings, findingsBlocks(linux));
        const QString joined = findings.join(QLatin1Char('\n'));
        QVERIFY2(joined.contains(windowsanswers::conflictingProcess()) && joined.contains(windowsanswers::firewallRule()),
                 qPrintable(joined));

        const QStringList entries = archiveEntries(QDir(wine).filePath(QStringLiteral("zziplog.zip")));
        QStringList expected{QStringLiteral("logs_quillon/SupportTool/findings.txt"), QStringLiteral("logs_quillon/render.log")};
        for (const QString &name : QDir(QDir(wine).filePath(QStringLiteral("logs/SupportTool"))).entryList({QStringLiteral("SupportLog_*")}))
            expected << QStringLiteral("logs_quillon/SupportTool/") + name;
        for (const QString &name : expected)
            QVERIFY2(entries.contains(name), qPrintable(name + QStringLiteral(" not in ") + entries.join(QLatin1Char(' '))));
    }
};

QTEST_MAIN(WineResultsTest)
#include "tst_wineresults.moc"
