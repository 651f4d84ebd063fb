// The findings' rules over made-up reports whose records come from the
// checks' own shaping of Windows-shaped answers: each rule on both sides
// of its threshold, with the record missing or its command unanswered, the
// choice of report and run the rules read, reports that cannot be read,
// and the bounds on what a report can make the findings hold and say.

#include "d3d12facts.h"
#include "findings/findings.h"
#include "findings/findingstext.h"
#include "hardwaresamples.h"
#include "reportfixture.h"
#include "reports/reportreader.h"
#include "reports/reportset.h"
#include "shaping/graphicsshaping.h"
#include "shaping/hardwareshaping.h"
#include "shaping/softwareshaping.h"

#include <QtTest>

using namespace testsupport;
using Records = QVector<FixtureRecord>;
Q_DECLARE_METATYPE(Records)

namespace {

const QString kHardware = QStringLiteral("SupportLog_HardWare_");
const QString kSoftware = QStringLiteral("SupportLog_software_confliction_");
const QString kSpeedTest = QStringLiteral("SupportLog_network_speedTest_");
const QString kServer = QStringLiteral("SupportLog_network_server_");
const QString kConfig = QStringLiteral("SupportLog_network_config_");
const QString kZip = QStringLiteral("SupportLog_zip_");
constexpr qint64 kGb = Q_INT64_C(1) << 30;

Records shaped(const records::ShapedCheck &check) { return inspectionRecords(check.records); }

// A hardware run: the processor record that opens it, then records.
Records hardwareRun(const Records &records)
{
    return shaped(hardwareshaping::processor(QString::fromLatin1(hardwaresamples::kProcessor))) + records;
}

// The disk records listing volumes of {root, total GB, available GB}.
Records volumes(const QVector<QPair<QString, QPair<double, double>>> &list)
{
    QVector<hardwareshaping::VolumeFigures> figures;
    for (const auto &volume : list)
        figures.append({volume.first, qint64(volume.second.first * kGb), qint64(volume.second.second * kGb)});
    return shaped(hardwareshaping::disks(QString(), figures));
}
const Records kOnWindows = volumes({{QStringLiteral("C:/"), {500, 200}}});
const Records kElsewhere = volumes({{QStringLiteral("/"), {500, 200}}});

Records warning(int line, const QString &text) { return {{'W', "displaysystemrelatedinfo.cpp", line, text, -1}}; }
// The runner's records of a command that answered, and of one cut short
// (line 41 to 45, then its standard error).
const Records kAnswered = warning(46, QString());
Records cutShort(int line) { return warning(line, QStringLiteral("cut short")) + kAnswered; }

findings::ReportSet reportSetOf(const QMap<QString, QByteArray> &reports, const QString &installation = QString())
{
    findings::NewestReports newest;
    for (auto report = reports.cbegin(); report != reports.cend(); ++report)
        newest.offer(report.key(), report.value());
    return newest.reportSet(installation);
}

// Each finding as "code|title".
QStringList findingsOf(const QMap<QString, QByteArray> &reports, const QString &installation = QString())
{
    QStringList result;
    for (const findings::Finding &finding : findings::evaluate(reportSetOf(reports, installation)))
        result << finding.code + QLatin1Char('|') + finding.title;
    return result;
}

// The finding of code in reports (there must be one).
findings::Finding findingOf(const QMap<QString, QByteArray> &reports, const QString &code)
{
    for (const findings::Finding &finding : findings::evaluate(reportSetOf(reports))) {
        if (finding.code == code)
            return finding;
    }
    return {};
}

// Each expected entry is "code|fragment": the codes in order, and each
// title holding its fragment (the value seen, the name found).
void verifyFindings(const QStringList &found, const QStringList &expected)
{
    QCOMPARE(found.size(), expected.size());
    for (int i = 0; i < found.size(); ++i) {
        const QString code = expected.at(i).section(QLatin1Char('|'), 0, 0);
        const QString fragment = expected.at(i).section(QLatin1Char('|'), 1);
        QVERIFY2(found.at(i).startsWith(code + QLatin1Char('|')) && found.at(i).contains(fragment),
                 qPrintable(found.join(QLatin1Char('\n'))));
    }
}

void addColumns()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Records>("records");
    QTest::addColumn<QString>("installation");
    QTest::addColumn<QStringList>("expected");
}

// The records of one run: a hardware or configuration run opens with the
// record each run of it begins with.
void addRow(const char *name, const QString &kind, const Records &records, const QStringList &expected,
            const QString &installation = QString())
{
    Records run = records;
    if (kind == kHardware)
        run = hardwareRun(records);
    else if (kind == kConfig)
        run = inspectionRecords({softwareshaping::firewallHeading()}) + records;
    QTest::newRow(name) << kind << run << installation << expected;
}

Records tdr(const char *answer) { return shaped(graphicsshaping::tdrValues(QString::fromLatin1(answer))); }
Records gpu(const char *memoryAnswer)
{
    return shaped(hardwareshaping::graphicsAdapter(
        hardwareshaping::adapterText(QString::fromLatin1(hardwaresamples::kVideoControllers), QString::fromLatin1(memoryAnswer)),
        hardwareshaping::memoryUsageText(QString()), hardwareshaping::engineUtilizationDetail(QString())));
}
Records memoryRecords(const char *total, const char *available)
{
    return shaped(hardwareshaping::physicalMemory(
        QStringLiteral("\r\n\r\nTotalMemorySize     : %1\r\nAvailableMemorySize : %2\r\n\r\n").arg(total, available)));
}
Records pageFile(const QByteArray &answer) { return shaped(hardwareshaping::pageFile(QString::fromLatin1(answer))); }

const QByteArray kLinuxPingLoss = "PING tessaly.example (192.0.2.7) 56(84) bytes of data.\n"
                                  "64 bytes from 192.0.2.7: icmp_seq=1 ttl=57 time=11.2 ms\n\n"
                                  "--- tessaly.example ping statistics ---\n"
                                  "4 packets transmitted, 3 received, 25% packet loss, time 3005ms\n";
const QByteArray kLinuxPingFine = "PING 127.0.0.1 (127.0.0.1) 56(84) bytes of data.\n\n"
                                  "--- 127.0.0.1 ping statistics ---\n"
                                  "4 packets transmitted, 4 received, 0% packet loss, time 3063ms\n";
const QByteArray kWindowsPing = "\r\nPinging 192.0.2.9 with 32 bytes of data:\r\nRequest timed out.\r\n\r\n"
                                "Ping statistics for 192.0.2.9:\r\n"
                                "    Packets: Sent = 4, Received = 0, Lost = 4 (100% loss),\r\n"
                                "\r\nPinging tessaly.example [192.0.2.7] with 32 bytes of data:\r\n"
                                "Reply from 192.0.2.7: bytes=32 time=10ms TTL=56\r\n\r\n"
                                "Ping statistics for 192.0.2.7:\r\n"
                                "    Packets: Sent = 4, Received = 4, Lost = 0 (0% loss),\r\n";

Records pingRun(const QByteArray &output)
{
    return {windowRecord(155, QStringLiteral("PING.......")), windowRecord(159, QString::fromLatin1(output))};
}
// The server report of the same network run, which the address tests
// count only with.
const QByteArray kServerReport = reportFile({windowRecord(364, QStringLiteral("\n-----------\n"))}, 30);

QMap<QString, QByteArray> networkRun(const QByteArray &pingOutput)
{
    return {{reportName(kSpeedTest, 10), reportFile(pingRun(pingOutput), 10)}, {reportName(kServer, 5), kServerReport}};
}

// A report's content made of lines, each ended by "\r\n" as on Windows.
QByteArray windowsLines(const QByteArray &content) { return QByteArray(content).replace("\n", "\r\n"); }

// content in UTF-16 with its byte-order mark, as an editor saves it.
QByteArray utf16(const QByteArray &content, bool bigEndian)
{
    const QString text = QString::fromUtf8(content);
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? QByteArray{&high, 1} + QByteArray{&low, 1} : QByteArray{&low, 1} + QByteArray{&high, 1};
    }
    return bytes;
}

const QString kFirewallRule = QStringLiteral("\r\nName                  : {5F1C}\r\nDisplayName           : Tessaly Render In\r\n"
                                             "Enabled               : %1\r\nDirection             : Inbound\r\n"
                                             "Action                : %2\r\n\r\n\r\n\r\n");

} // namespace

class FindingRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void graphics_data()
    {
        addColumns();
        const auto d3d12 = [](std::int32_t creation, int tier) {
            return inspectionRecords(graphicsshaping::d3d12Records(facts(creation, 0, tier)));
        };
        addRow("no 12_0 device", kHardware, d3d12(std::int32_t(0x80070057), 0), {"d3d12-unsupported|12_0"});
        addRow("12_0 without ray tracing", kHardware, d3d12(0, 0), {"raytracing-unsupported|ray tracing"});
        addRow("ray tracing tier 1.0", kHardware, d3d12(0, 10), {});
        addRow("no Direct3D 12 record", kHardware, {}, {});
        addRow("gpu 3 GB", kHardware, gpu("3\r\n"), {"gpu-memory-low|3 GB"});
        addRow("gpu 4 GB", kHardware, gpu("4\r\n"), {});
        addRow("gpu 0 GB on Windows", kHardware, kOnWindows + gpu("0\r\n"), {"gpu-memory-low|0 GB"});
        addRow("gpu 0 GB elsewhere: not known", kHardware, kElsewhere + gpu("0\r\n"), {});
        addRow("gpu figure missing", kHardware, gpu(""), {});
    }
    void graphics() { verifyRow(); }

    void tdrDelay_data()
    {
        addColumns();
        addRow("9 s", kHardware, tdr("9\r\n10\r\n"), {"tdr-delay-short|9 s"});
        addRow("2.5 s", kHardware, tdr("2.5\r\n"), {"tdr-delay-short|2.5 s"});
        addRow("10 s", kHardware, tdr("10\r\n10\r\n"), {});
        addRow("not set on Windows", kHardware, kOnWindows + tdr(""), {"tdr-delay-short|not set"});
        addRow("empty elsewhere: not known", kHardware, kElsewhere + tdr(""), {});
        addRow("not a number", kHardware, tdr("abc\r\n"), {});
    }
    void tdrDelay() { verifyRow(); }

    void memoryAndPageFile_data()
    {
        addColumns();
        addRow("7.9 GB, 1.99 free", kHardware, memoryRecords("7.9", "1.99"),
               {"memory-low|7.9 GB", "memory-available-low|1.99 GB"});
        addRow("8 GB, 2 free", kHardware, memoryRecords("8", "2"), {});
        addRow("decimal comma", kHardware, memoryRecords("7,5", "3,25"), {"memory-low|7.5 GB"});
        addRow("no figures", kHardware, shaped(hardwareshaping::physicalMemory(QString())), {});
        addRow("page file of 4864 MB", kHardware, pageFile(hardwaresamples::kPageFile), {});
        addRow("no page file", kHardware, pageFile(""), {"page-file-missing|page file"});
        addRow("page file of 0 MB", kHardware, pageFile("\r\r\n\r\r\nAllocatedBaseSize=0\r\r\nCurrentUsage=0\r\r\n"),
               {"page-file-missing|page file"});
    }
    void memoryAndPageFile() { verifyRow(); }

    void diskSpace_data()
    {
        addColumns();
        addRow("9 of 100 GB free", kHardware, volumes({{"/", {100, 9}}}), {"disk-space-low|/ has 9 GB"});
        addRow("10 of 100 GB free", kHardware, volumes({{"/", {100, 10}}}), {});
        addRow("50 of 600 GB free", kHardware, volumes({{"/", {600, 50}}}), {"disk-space-low|8.3 %"});
        addRow("60 of 600 GB free", kHardware, volumes({{"/", {600, 60}}}), {});
        addRow("small boot volume", kHardware, volumes({{"/", {100, 50}}, {"/boot/efi", {0.5, 0.1}}}), {},
               QStringLiteral("/boot/efi/tessaly"));
        addRow("installation on D:", kHardware, volumes({{"C:/", {500, 100}}, {"D:/", {1000, 20}}}),
               {"disk-space-low|D:/"}, QStringLiteral("d:/Tessaly Render"));
        addRow("installation on /data", kHardware, volumes({{"/", {100, 50}}, {"/data", {100, 5}}, {"/dat", {100, 1}}}),
               {"disk-space-low|/data"}, QStringLiteral("/data/tessaly"));
        // One finding per volume, however often the record lists it.
        addRow("the system volume twice", kHardware, volumes({{"/", {100, 9}}, {"/", {100, 9}}}), {"disk-space-low|/ has 9 GB"},
               QStringLiteral("/opt/tessaly"));
    }
    void diskSpace() { verifyRow(); }

    void software_data()
    {
        addColumns();
        addRow("two conflicting programs", kSoftware,
               shaped(softwareshaping::conflictingProcesses(QStringLiteral(
                   "Process=GamePP \"x64\"             CPU_Usage_%=0            Memory_Usage_=12.5            \r\n"
                   "Process=avp                       CPU_Usage_%=3            Memory_Usage_=1.5             \r\n"))),
               {"conflicting-software|GamePP \"x64\", avp"});
        addRow("no conflicting program", kSoftware, shaped(softwareshaping::conflictingProcesses(QString())), {});
        addRow("blocking rule", kConfig, shaped(softwareshaping::firewallRules(kFirewallRule.arg("True", "Block"))),
               {"firewall-blocks-tessaly|\"Tessaly Render In\" blocks Tessaly Render (Inbound)"});
        addRow("allowing rule", kConfig, shaped(softwareshaping::firewallRules(kFirewallRule.arg("True", "Allow"))), {});
        addRow("disabled blocking rule", kConfig,
               shaped(softwareshaping::firewallRules(kFirewallRule.arg("False", "Block"))), {});
        addRow("a VPN", kConfig,
               shaped(softwareshaping::vpnConnections(QStringLiteral(
                   "\r\nName                  : Office\r\nServerAddress         : vpn.example\r\n\r\n"))),
               {"vpn-present|Office"});
        addRow("no VPN", kConfig, shaped(softwareshaping::vpnConnections(QString())), {});
    }
    void software() { verifyRow(); }

    void network_data()
    {
        addColumns();
        addRow("Linux ping lost 1 of 4", kSpeedTest, pingRun(kLinuxPingLoss), {"ping-loss|tessaly.example lost 1 of 4"});
        addRow("Linux ping lost nothing", kSpeedTest, pingRun(kLinuxPingFine), {});
        addRow("Windows ping lost all", kSpeedTest, pingRun(kWindowsPing), {"ping-loss|192.0.2.9 lost 4 of 4"});
        addRow("Windows ping, lines ended by a carriage return alone", kSpeedTest,
               pingRun(QByteArray(kWindowsPing).replace("\r\n", "\r")), {"ping-loss|192.0.2.9 lost 4 of 4"});
        addRow("server failed", kServer,
               {windowRecord(318, QStringLiteral("download file fail from https://cdn.example/test/ failed")),
                windowRecord(354, QStringLiteral("query API done from https://api.example/network/test in 2999 ms"))},
               {"server-unreachable|https://cdn.example/test/"});
        addRow("server slow", kServer,
               {windowRecord(325, QStringLiteral("download file done from https://cdn.example/test/ in 3000 ms")),
                windowRecord(364, QStringLiteral("\n---------\n"))},
               {"server-slow|3000 ms"});
    }
    void network() { verifyRow(); }

    // A record written after its command could not start, crashed, timed
    // out, was stopped or wrote too much is read by no rule; the commands
    // that count are those its record is cut from.
    void unansweredCommands_data()
    {
        addColumns();
        const Records processes = shaped(softwareshaping::conflictingProcesses(QStringLiteral(
            "Process=avp                       CPU_Usage_%=3            Memory_Usage_=1.5             \r\n")));
        const Records blockingRule = shaped(softwareshaping::firewallRules(kFirewallRule.arg("True", "Block")));
        const Records profiles = shaped(softwareshaping::firewallConfiguration(QStringLiteral("Domain Profile Settings:\r\n")));
        const Records vpn = shaped(softwareshaping::vpnConnections(QStringLiteral("\r\nName : Office\r\n\r\n")));
        const auto d3d12 = [](std::int32_t creation) {
            return inspectionRecords(graphicsshaping::d3d12Records(facts(creation, 0, 0)));
        };
        addRow("d3d12: the probe failed", kHardware, warning(481, QStringLiteral("probe crashed")) + d3d12(std::int32_t(0x80004005)), {});
        addRow("ray tracing: the probe failed", kHardware, warning(481, QStringLiteral("probe timed out")) + d3d12(0), {});
        addRow("ray tracing: the update list before it timed out", kHardware,
               cutShort(43) + shaped(softwareshaping::systemUpdates(QString())) + d3d12(0), {"raytracing-unsupported|"});
        addRow("tdr: timed out", kHardware, kOnWindows + cutShort(43) + tdr(""), {});
        addRow("tdr: answered", kHardware, kOnWindows + kAnswered + tdr(""), {"tdr-delay-short|not set"});
        addRow("gpu: the memory query could not start", kHardware,
               kAnswered + cutShort(41) + kAnswered + kAnswered + gpu("3\r\n"), {});
        addRow("gpu: every query answered", kHardware, kAnswered + kAnswered + kAnswered + kAnswered + gpu("3\r\n"),
               {"gpu-memory-low|3 GB"});
        addRow("memory: crashed", kHardware, cutShort(42) + memoryRecords("4", "1"), {});
        addRow("memory: its last record missing", kHardware, warning(43, QStringLiteral("timed out")) + memoryRecords("4", "1"), {});
        addRow("page file: not started", kHardware, cutShort(41) + pageFile(""), {});
        addRow("disk: the volumes come from no command", kHardware, cutShort(43) + volumes({{"/", {100, 9}}}),
               {"disk-space-low|/ has 9 GB"});
        addRow("software: timed out after one process", kSoftware, cutShort(43) + processes, {});
        addRow("software: the run before timed out", kSoftware,
               cutShort(43) + shaped(softwareshaping::conflictingProcesses(QString())) + kAnswered + processes,
               {"conflicting-software|avp"});
        addRow("firewall rules: wrote too much", kConfig, kAnswered + profiles + cutShort(45) + blockingRule, {});
        addRow("firewall profiles timed out, rules answered", kConfig, cutShort(43) + kAnswered + blockingRule,
               {"firewall-blocks-tessaly|Tessaly Render In"});
        addRow("vpn: stopped", kConfig, kAnswered + blockingRule + cutShort(44) + vpn, {"firewall-blocks-tessaly|"});
        addRow("vpn: answered", kConfig, cutShort(44) + kAnswered + vpn, {"vpn-present|Office"});
        // The ping record is ping's own result file: a target the loop cut
        // short has no statistics, and makes no finding.
        addRow("ping: a target cut short", kSpeedTest,
               pingRun("PING 192.0.2.7 (192.0.2.7) 56(84) bytes of data.\n64 bytes from 192.0.2.7: icmp_seq=1\n"), {});
    }
    void unansweredCommands() { verifyRow(); }

    // What the findings quote is the record as written; a title may give
    // the number read.
    void evidenceQuotesTheRecord()
    {
        const findings::Finding memory =
            findingOf({{reportName(kHardware), reportFile(hardwareRun(memoryRecords("7,9", "3")))}}, QStringLiteral("memory-low"));
        QCOMPARE(memory.evidence.value, QStringLiteral("TotalMemorySize : 7,9"));
        QVERIFY2(memory.title.contains(QStringLiteral(" 7.9 GB")), qPrintable(memory.title));
        const findings::Finding delay =
            findingOf({{reportName(kHardware), reportFile(hardwareRun(tdr("9,5\r\n10\r\n")))}}, QStringLiteral("tdr-delay-short"));
        QCOMPARE(delay.evidence.value, QStringLiteral("TdrDelay: 9,5"));
        const findings::Finding gpuMemory =
            findingOf({{reportName(kHardware), reportFile(hardwareRun(gpu("1,5\r\n")))}}, QStringLiteral("gpu-memory-low"));
        QCOMPARE(gpuMemory.evidence.value, QStringLiteral("Total GPU Memory : 1,5GB"));
        const findings::Finding rule =
            findingOf({{reportName(kConfig), reportFile(inspectionRecords({softwareshaping::firewallHeading()})
                                                        + shaped(softwareshaping::firewallRules(kFirewallRule.arg("True", "Block"))))}},
                      QStringLiteral("firewall-blocks-tessaly"));
        QCOMPARE(rule.evidence.value,
                 QStringLiteral("Name : {5F1C}, DisplayName : Tessaly Render In, Enabled : True, Direction : Inbound, Action : Block"));
        // Without the closing hyphens, however many (counted back from the
        // end: searched for from every position, 60000 of them took seconds).
        const QString units = QStringLiteral("CHECKING VIRTURAL MEMMORY INFORMATION......\nMB\nMB\nMB");
        for (const QString &closing : {records::separator(), QStringLiteral("\n") + QString(60000, QLatin1Char('-'))}) {
            const findings::Finding pageFile = findingOf(
                {{reportName(kHardware), reportFile(hardwareRun(inspectionRecords({{162, units + closing}})))}},
                QStringLiteral("page-file-missing"));
            QCOMPARE(pageFile.evidence.value, QStringLiteral("MB MB MB"));
        }
    }

    // A report re-saved by an editor is read: UTF-8 with a byte-order
    // mark, "\r\n" line ends, UTF-16 with a byte-order mark, also when it
    // comes in pieces that cut characters in two. A report cut off in the
    // middle of a line does not read that line.
    void reportEncodings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        const QByteArray report =
            reportFile(hardwareRun(warning(46, QStringLiteral("Zugriff verweigert: Größe €")) + memoryRecords("6", "3")));
        QTest::newRow("UTF-8") << report << "memory-low";
        QTest::newRow("UTF-8 with a byte-order mark") << QByteArray("\xEF\xBB\xBF") + report << "memory-low";
        QTest::newRow("\\r\\n line ends") << windowsLines(report) << "memory-low";
        QTest::newRow("UTF-16LE") << utf16(windowsLines(report), false) << "memory-low";
        QTest::newRow("UTF-16BE") << utf16(report, true) << "memory-low";
        const QByteArray cut = reportFile(hardwareRun(memoryRecords("16", "3")));
        QTest::newRow("cut in the figure") << cut.left(cut.indexOf("TotalMemorySize") + 19) << "";
    }
    void reportEncodings()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        for (const int piece : {1, 3, int(content.size())}) {
            findings::NewestReports newest;
            findings::ReportReader reader(findings::ReportKind::Hardware, reportName(kHardware));
            for (int at = 0; at < content.size(); at += piece)
                reader.add(content.constData() + at, qMin(piece, content.size() - at));
            reader.finishInto(&newest);
            const findings::ReportSet reports = newest.reportSet();
            QVERIFY2(reports.unread.isEmpty(), qPrintable(reports.unread.value(0).why));
            const QVector<findings::Finding> found = findings::evaluate(reports);
            QCOMPARE(found.isEmpty() ? QString() : found.first().code, expected);
        }
    }

    // A report that cannot be read is said, in the findings file and the
    // pane block, never named as read.
    void unreadableReportsAreSaid()
    {
        const QByteArray good = reportFile(hardwareRun(memoryRecords("4", "3")));
        const QMap<QString, QByteArray> reports{
            {reportName(kHardware, 0), good},
            {reportName(kHardware, 1), "Log file created at: 2024/05/01 10:00:01\nRunning on mach"},
            {reportName(kSoftware), utf16(good, false).mid(2)}, // UTF-16 without its byte-order mark
            {reportName(kConfig), QByteArray()},
            {reportName(kZip), "I20240501 10:00:00.000001  4242 displaysystemrelatedinfo.cpp:576] "
                                   + QByteArray(findings::kMaxRunEntries * 100, 'x') + "\n"}};
        const findings::Review review = findings::review(reportSetOf(reports));
        QCOMPARE(review.reportsRead, QStringList{reportName(kHardware, 0)});
        QCOMPARE(review.found.size(), 1);
        const QString fileText = findings::fileText(review);
        const QString noRecord = QStringLiteral("it holds no record of the tool: it is damaged, or neither UTF-8 nor "
                                                "UTF-16 with a byte-order mark");
        const QString expected = QStringLiteral("Reports not understood: %1 (%2), %3 (it is empty), %4 (%2), %5 (it holds a "
                                                "record of more than 65536 bytes, longer than any the tool writes)")
                                     .arg(reportName(kHardware, 1), noRecord, reportName(kConfig), reportName(kSoftware),
                                          reportName(kZip));
        QVERIFY2(fileText.startsWith(QStringLiteral("Tessaly Render Support Tool findings: 1\nReports read: %1\n%2\n\n[warning] memory-low\n")
                                         .arg(reportName(kHardware, 0), expected)),
                 qPrintable(fileText));
        QVERIFY2(findings::paneBlock(review).endsWith(QLatin1Char('\n') + expected), qPrintable(findings::paneBlock(review)));
    }

    // However large or repetitive the reports, the findings keep a bounded
    // part of them and say a bounded amount: one finding per rule and
    // subject, at most 20 of a code and then how many more.
    void boundedOnAnyReport()
    {
        // A hardware report of 2000 runs keeps the read records of the last.
        QByteArray runs;
        for (int run = 0; run < 2000; ++run) {
            const QByteArray report =
                reportFile(hardwareRun(memoryRecords(run == 1999 ? "4" : "64", "3") + volumes({{"/", {100, 50}}})), run % 60);
            runs += run == 0 ? report : report.mid(report.indexOf("\nI2024") + 1); // without the header
        }
        findings::NewestReports newest;
        findings::ReportReader reader(findings::ReportKind::Hardware, reportName(kHardware));
        reader.add(runs.constData(), runs.size());
        reader.finishInto(&newest);
        const findings::ReportSet set = newest.reportSet();
        QVERIFY(set.hardware);
        QCOMPARE(set.hardware->records.size(), 2);
        verifyFindings(findingsOf({{reportName(kHardware), runs}}), {"memory-low|4 GB"});

        // 25 targets lost packets: 20 listed, then how many more.
        QByteArray pings;
        for (int target = 1; target <= 25; ++target)
            pings += "--- 192.0.2." + QByteArray::number(target) + " ping statistics ---\n"
                     "4 packets transmitted, 0 received, 100% packet loss, time 3005ms\n";
        const findings::Review review = findings::review(reportSetOf(networkRun(pings + pings)));
        QCOMPARE(review.found.size(), 25);
        const QStringList pane = findings::paneBlock(review).split(QLatin1Char('\n'));
        QCOMPARE(pane.size(), 22);
        QCOMPARE(pane.first(), QStringLiteral("Findings: 25"));
        QCOMPARE(pane.last(), QStringLiteral("[warning] ping-loss: 5 more findings not listed"));
        const QString fileText = findings::fileText(review);
        QCOMPARE(fileText.count(QStringLiteral("\n[warning] ping-loss\n")), 20);
        QVERIFY(fileText.endsWith(QStringLiteral("\n\n[warning] ping-loss: 5 more findings not listed\n")));

        // One request repeated fills no memory; more different ones than the
        // tool ever makes in a run are not read.
        const auto serverReport = [](int requests, bool different) {
            QByteArray content = reportFile({});
            for (int i = 0; i < requests; ++i)
                content += "I20240501 10:00:01.000001  4242 mainwindow.cpp:318] download file fail from http://cdn.example/"
                           + QByteArray::number(different ? i : 0) + "/ failed\n";
            return content;
        };
        verifyFindings(findingsOf({{reportName(kServer), serverReport(5000, false)}}), {"server-unreachable|cdn.example/0/"});
        const findings::ReportSet tooMany = reportSetOf({{reportName(kServer), serverReport(findings::kMaxRunEntries + 1, true)}});
        QVERIFY(!tooMany.server);
        QVERIFY2(tooMany.unread.value(0).why.contains(QStringLiteral("more requests or copies than the tool ever makes")),
                 qPrintable(tooMany.unread.value(0).why));

        // A name of 30000 letters makes a title of at most 200 of them.
        const QString longName = QString(30000, QLatin1Char('n'));
        const findings::Finding rule = findingOf(
            {{reportName(kConfig), reportFile(inspectionRecords({softwareshaping::firewallHeading()})
                                              + shaped(softwareshaping::firewallRules(
                                                  QString(kFirewallRule).replace(QStringLiteral("Tessaly Render In"), longName)
                                                      .arg("True", "Block"))))}},
            QStringLiteral("firewall-blocks-tessaly"));
        QVERIFY2(rule.title.size() < 300 && rule.evidence.value.size() <= findings::kMaxEvidenceChars, qPrintable(rule.title));
    }

    // Which report and which run the rules read.
    void newestReportAndLastRun()
    {
        // A report opened earlier whose last record is later wins.
        QMap<QString, QByteArray> reports{{reportName(kHardware, 0), reportFile(hardwareRun(memoryRecords("4", "3")), 50)},
                                          {reportName(kHardware, 30, 7), reportFile(hardwareRun(memoryRecords("16", "3")), 40)}};
        verifyFindings(findingsOf(reports), {"memory-low|4 GB"});

        // Only the last run of a report counts.
        const Records busy = shaped(softwareshaping::conflictingProcesses(QStringLiteral("Process=avp  CPU_Usage_%=1 ")));
        const Records quiet = shaped(softwareshaping::conflictingProcesses(QString()));
        verifyFindings(findingsOf({{reportName(kSoftware), reportFile(busy + quiet)}}), {});
        verifyFindings(findingsOf({{reportName(kSoftware), reportFile(quiet + busy)}}), {"conflicting-software|avp"});

        // Address tests count only with the server tests of their network
        // run: same process, not older than the server report's previous run.
        const QString closing = QStringLiteral("\n-----------\n");
        const QByteArray server = reportFile({windowRecord(364, closing, 5), windowRecord(364, closing, 20)});
        const QByteArray pings = reportFile(pingRun(kLinuxPingLoss), 10);
        verifyFindings(findingsOf({{reportName(kSpeedTest, 10), pings}, {reportName(kServer, 5), server}}),
                       {"ping-loss|tessaly.example"});
        verifyFindings(findingsOf({{reportName(kSpeedTest, 10, 1), pings}, {reportName(kServer, 5), server}}), {});
        verifyFindings(findingsOf({{reportName(kSpeedTest, 3), reportFile(pingRun(kLinuxPingLoss), 3)},
                                   {reportName(kServer, 5), server}}),
                       {});
        // Nor without any server report.
        verifyFindings(findingsOf({{reportName(kSpeedTest, 10), pings}}), {});

        // Without a known installation folder, the zip report's copy record tells it.
        const Records copying{{'I', "displaysystemrelatedinfo.cpp", 576, QStringLiteral("Create logsLocation.txt"), -1},
                              {'I', "displaysystemrelatedinfo.cpp", 528,
                               QStringLiteral("Copying logs from /data/tessaly/logs to /data/tessaly/logs_quillon"), -1}};
        verifyFindings(findingsOf({{reportName(kHardware), reportFile(hardwareRun(volumes({{"/", {100, 50}}, {"/data", {100, 5}}})))},
                                   {reportName(kZip), reportFile(copying)}}),
                       {"disk-space-low|/data"});
    }

private:
    void verifyRow()
    {
        QFETCH(QString, kind);
        QFETCH(Records, records);
        QFETCH(QString, installation);
        QFETCH(QStringList, expected);
        QMap<QString, QByteArray> reports{{reportName(kind), reportFile(records)}};
        // The address tests count with the server tests of their run.
        if (kind == kSpeedTest)
            reports.insert(reportName(kServer, 59), kServerReport);
        verifyFindings(findingsOf(reports, installation), expected);
    }
};

QTEST_GUILESS_MAIN(FindingRulesTest)
#include "tst_findingrules.moc"
