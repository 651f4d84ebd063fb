// The findings' rules over made-up reports whose records come from the
// checks' own shaping of Windows-shaped answers: each rule on both sides
// of its threshold, with the record missing or its command unanswered, and
// the choice of report and run the rules read.

#include "d3d12facts.h"
#include "findings/findings.h"
#include "hardwaresamples.h"
#include "reportfixture.h"
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

// Each finding as "code|title".
QStringList findingsOf(const QMap<QString, QByteArray> &reports, const QString &installation = QString())
{
    findings::NewestReports newest;
    for (auto report = reports.cbegin(); report != reports.cend(); ++report)
        newest.offer(report.key(), report.value());
    QStringList result;
    for (const findings::Finding &finding : findings::evaluate(newest.reportSet(installation)))
        result << finding.code + QLatin1Char('|') + finding.title;
    return result;
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
        addRow("the probe failed", kHardware, warning(481, QStringLiteral("probe crashed")) + d3d12(std::int32_t(0x80004005), 0), {});
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
        addRow("timed out on Windows", kHardware, kOnWindows + warning(43, QStringLiteral("timed out")) + tdr(""), {});
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
        addRow("page file command not started", kHardware, warning(41, QStringLiteral("no powershell")) + pageFile(""), {});
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
        verifyFindings(findingsOf({{reportName(kind), reportFile(records)}}, installation), expected);
    }
};

QTEST_GUILESS_MAIN(FindingRulesTest)
#include "tst_findingrules.moc"
