// What the findings cost: computing and printing them after a full run of
// the inspection actions (the reports the runner's "auto" leaves, alone and
// beside 50 earlier runs' reports), reading a 50 MB archive with
// "SupportToolBatch --read", and reading the worst archive --read accepts:
// as many 16 MB reports as the 256 MB limit lets in, each the run's report
// with its records repeated.

#include "barespawn.h"
#include "benchmarks.h"
#include "findings/findingsfile.h"
#include "findings/findingstext.h"
#include "fullrun.h"
#include "logtree.h"
#include "reports/reportsources.h"
#include "zipmaker.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>

#include <cstdio>

namespace bench {

namespace {

constexpr double kFindingsLimitMs = 50;
constexpr double kReadLimitSeconds = 1;
constexpr double kWorstReadLimitSeconds = 5;
constexpr double kWorstReadMemoryLimitMb = 100;
constexpr qint64 kArchiveBytes = 50 * 1024 * 1024;
constexpr int kEarlierRuns = 50;

// What the combined actions add: read the newest reports, apply the rules,
// write the findings file, print the block.
double findingsOnce(std::FILE *sink, int *count)
{
    QElapsedTimer clock;
    clock.start();
    const findings::Review found = findings::review(findings::installationReports());
    QString problem;
    findingsfile::write(findings::fileText(found), &problem);
    const QByteArray block = findings::paneBlock(found).toUtf8();
    std::fwrite(block.constData(), 1, size_t(block.size()), sink);
    std::fflush(sink);
    *count = found.found.size();
    return clock.nsecsElapsed() / 1e6;
}

Figures findingsTimes(int rounds, std::FILE *sink, int *count)
{
    Figures figures;
    findingsOnce(sink, count); // warm-up
    for (int round = 0; round < rounds; ++round)
        figures.values << findingsOnce(sink, count);
    return figures;
}

// Copies of the run's reports under the names of runs made minutes earlier.
void addEarlierRuns(const QString &reportFolder)
{
    const QDir dir(reportFolder);
    const QStringList reports = dir.entryList({QStringLiteral("SupportLog_*")}, QDir::Files);
    for (int run = 1; run <= kEarlierRuns; ++run) {
        for (const QString &name : reports) {
            // "..._20240501-101500.4242": an older day keeps every copy older.
            QString older = name;
            const int stamp = older.lastIndexOf(QLatin1Char('_')) + 1;
            older.replace(stamp, 8, QStringLiteral("2020%1").arg(run, 4, 10, QLatin1Char('0')));
            QFile::copy(dir.filePath(name), dir.filePath(older));
        }
    }
}

// The run's reports where the archive holds them, beside generated logs;
// *entryCount tells how many entries it holds.
bool makeArchive(const QString &installation, const QString &archive, const QString &scratch, int *entryCount)
{
    testsupport::ZipEntries entries;
    const QDir reports(installation + QStringLiteral("/logs/SupportTool"));
    for (const QString &name : reports.entryList(QDir::Files)) {
        QFile file(reports.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        entries.append({QStringLiteral("logs_quillon/SupportTool/") + name, file.readAll()});
    }
    const QString logs = scratch + QStringLiteral("/logs");
    logtree::fill(logs, {QStringLiteral("Logs"), QStringLiteral("Crashes/UECC-Windows-7F3A")}, kArchiveBytes, 5150);
    QDirIterator files(logs, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            return false;
        entries.append({QStringLiteral("logs_AppData_Local/") + QDir(logs).relativeFilePath(file.fileName()), file.readAll()});
    }
    *entryCount = entries.size();
    // Stored: the archive is as large as what it holds.
    return testsupport::makeZip(archive, entries, true);
}

// The worst archive --read accepts: reports of 16 MB (the most one may
// hold), each one of the run's reports with its records repeated, under
// names of other processes, until the next would pass the 256 MB the
// reports may hold together; deflated, so the archive itself is small.
// *reportCount tells how many reports it holds, *bytes their size together.
bool makeWorstArchive(const QString &installation, const QString &archive, int *reportCount, qint64 *bytes)
{
    const QDir reports(installation + QStringLiteral("/logs/SupportTool"));
    QVector<QPair<QString, QByteArray>> repeated; // one per report of the run; copies share the bytes
    for (const QString &name : reports.entryList({QStringLiteral("SupportLog_*")}, QDir::Files, QDir::Name)) {
        QFile file(reports.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray content = file.readAll();
        const int firstRecord = content.indexOf("\nI") + 1;
        if (firstRecord <= 0)
            continue;
        const QByteArray records = content.mid(firstRecord);
        QByteArray grown = content.left(firstRecord);
        grown.reserve(int(findings::kMaxReportBytes));
        while (grown.size() + records.size() <= findings::kMaxReportBytes)
            grown += records;
        repeated.append({name, grown});
    }
    if (repeated.isEmpty())
        return false;
    testsupport::ZipEntries entries;
    *bytes = 0;
    for (int i = 0;; ++i) {
        const auto &[name, content] = repeated.at(i % repeated.size());
        if (*bytes + content.size() > findings::kMaxReportBytesInAll)
            break;
        *bytes += content.size();
        const QString processId = QString::number(name.mid(name.lastIndexOf(QLatin1Char('.')) + 1).toLongLong() + i);
        entries.append({QStringLiteral("logs_quillon/SupportTool/") + name.left(name.lastIndexOf(QLatin1Char('.')) + 1)
                            + processId,
                        content});
    }
    *reportCount = entries.size();
    return testsupport::makeZip(archive, entries);
}

} // namespace

bool findingsCost(Report &report, const Settings &settings)
{
    const QString previousFolder = QDir::currentPath();
    const QString root = settings.workFolder + QStringLiteral("/findings");
    const QString installation = root + QStringLiteral("/install");
    const auto finish = [&](bool ok) {
        QDir::setCurrent(previousFolder);
        QDir(root).removeRecursively();
        return ok;
    };
    if (!fullRun(settings, installation, QStringLiteral("auto")))
        return finish(false);

    QDir::setCurrent(installation);
    std::FILE *sink = std::fopen("/dev/null", "w");
    if (!sink)
        return finish(false);
    const int rounds = settings.quick ? 5 : 50;
    int count = 0;
    const Figures alone = findingsTimes(rounds, sink, &count);
    report.limit(QStringLiteral("findings of a full run"), alone.median(), kFindingsLimitMs, QStringLiteral("ms"),
                 {QStringLiteral("median of %1 rounds (min %2 ms, max %3 ms): read the newest reports, %4 findings, "
                                 "findings file written, block printed")
                      .arg(rounds)
                      .arg(alone.minimum(), 0, 'f', 2)
                      .arg(alone.maximum(), 0, 'f', 2)
                      .arg(count)});

    addEarlierRuns(QStringLiteral("logs/SupportTool"));
    const Figures history = findingsTimes(rounds, sink, &count);
    std::fclose(sink);
    report.limit(QStringLiteral("findings beside %1 earlier runs").arg(kEarlierRuns), history.median(),
                 kFindingsLimitMs, QStringLiteral("ms"),
                 {QStringLiteral("median of %1 rounds (min %2 ms, max %3 ms), %4 report files in the folder")
                      .arg(rounds)
                      .arg(history.minimum(), 0, 'f', 2)
                      .arg(history.maximum(), 0, 'f', 2)
                      .arg(QDir(QStringLiteral("logs/SupportTool")).entryList(QDir::Files).size())});
    // The archive holds one run's reports, as the tool packs them.
    QDir(QStringLiteral("logs/SupportTool")).removeRecursively();
    if (!fullRun(settings, installation, QStringLiteral("auto")))
        return finish(false);

    const QString archive = root + QStringLiteral("/zziplog.zip");
    int entries = 0;
    if (!makeArchive(installation, archive, root, &entries))
        return finish(false);
    Figures reads;
    for (int round = -1; round < (settings.quick ? 1 : 5); ++round) {
        const Spawned run = spawnAndWait(settings.batchProgram, {QStringLiteral("--read"), archive}, SpawnOptions{true, false});
        if (run.exitCode != 0) {
            QTextStream(stderr) << "SupportToolBatch --read failed: " << run.errors.right(2000) << Qt::endl;
            return finish(false);
        }
        if (round >= 0)
            reads.values << run.wallMs / 1000.0;
    }
    report.limit(QStringLiteral("SupportToolBatch --read of a 50 MB archive"), reads.median(), kReadLimitSeconds,
                 QStringLiteral("s"),
                 {QStringLiteral("median of %1 runs (min %2 s, max %3 s), start-up to exit; archive %4 MB, %5 entries")
                      .arg(reads.values.size())
                      .arg(reads.minimum(), 0, 'f', 3)
                      .arg(reads.maximum(), 0, 'f', 3)
                      .arg(QFileInfo(archive).size() / (1024.0 * 1024.0), 0, 'f', 1)
                      .arg(entries)});

    const QString worst = root + QStringLiteral("/worst.zip");
    int reportCount = 0;
    qint64 reportBytes = 0;
    if (!makeWorstArchive(installation, worst, &reportCount, &reportBytes))
        return finish(false);
    Figures worstReads;
    long worstPeakKb = 0;
    qint64 printed = 0;
    for (int round = -1; round < (settings.quick ? 1 : 3); ++round) {
        const Spawned run = spawnAndWait(settings.batchProgram, {QStringLiteral("--read"), worst}, SpawnOptions{false, true});
        if (run.exitCode != 0) {
            QTextStream(stderr) << "SupportToolBatch --read of the worst archive failed: " << run.errors.right(2000) << Qt::endl;
            return finish(false);
        }
        if (round < 0)
            continue;
        worstReads.values << run.wallMs / 1000.0;
        // Its own VmHWM: wait4's figure counts this process's peak too,
        // which the child's start shares before it runs the program.
        worstPeakKb = std::max(worstPeakKb, run.ownPeakKb);
        printed = run.output.size();
    }
    const QString shape = QStringLiteral("%1 reports of up to 16 MB, %2 MB together, in an archive of %3 MB")
                              .arg(reportCount)
                              .arg(reportBytes / (1024.0 * 1024.0), 0, 'f', 1)
                              .arg(QFileInfo(worst).size() / (1024.0 * 1024.0), 0, 'f', 1);
    report.limit(QStringLiteral("SupportToolBatch --read of the worst archive"), worstReads.median(), kWorstReadLimitSeconds,
                 QStringLiteral("s"),
                 {QStringLiteral("median of %1 runs (min %2 s, max %3 s), start-up to exit; %4")
                      .arg(worstReads.values.size())
                      .arg(worstReads.minimum(), 0, 'f', 2)
                      .arg(worstReads.maximum(), 0, 'f', 2)
                      .arg(shape)});
    report.limit(QStringLiteral("SupportToolBatch --read of the worst archive, peak memory"), worstPeakKb / 1024.0,
                 kWorstReadMemoryLimitMb, QStringLiteral("MB"),
                 {QStringLiteral("its own peak resident set (VmHWM, sampled every 5 ms, highest of the runs); it printed "
                                 "%1 bytes")
                      .arg(printed)});
    return finish(true);
}

} // namespace bench
