// What the findings cost: computing and printing them after a full run of
// the inspection actions (the reports the runner's "auto" leaves, alone and
// beside 50 earlier runs' reports), and reading a 50 MB archive with
// "SupportToolBatch --read".

#include "barespawn.h"
#include "benchmarks.h"
#include "findings/findingsfile.h"
#include "findings/findingstext.h"
#include "localhttpserver.h"
#include "logtree.h"
#include "reports/reportsources.h"
#include "zipmaker.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace bench {

namespace {

constexpr double kFindingsLimitMs = 50;
constexpr double kReadLimitSeconds = 1;
constexpr qint64 kArchiveBytes = 50 * 1024 * 1024;
constexpr int kEarlierRuns = 50;

// A full run of the inspection actions in installation, through the runner:
// one address to ping and every server on a closed local port, so the run
// leaves all five inspection reports and takes seconds.
bool fullRun(const Settings &settings, const QString &installation)
{
    QDir().mkpath(installation);
    QFile ini(installation + QStringLiteral("/SupportToolConfig.ini"));
    QString hosts;
    for (const char *key : {"cdnDownload", "assetDownload", "bucketDownloadHttps", "bucketDownloadHttp", "apiQuery",
                            "networkTestQuery"})
        hosts += QStringLiteral("%1=127.0.0.1:%2\n").arg(QLatin1String(key)).arg(testsupport::LocalHttpServer::closedPort());
    if (!ini.open(QIODevice::WriteOnly)
        || ini.write((QStringLiteral("[ipconfig]\n1=127.0.0.1\n[serverHosts]\n") + hosts).toUtf8()) <= 0)
        return false;
    ini.close();
    const Spawned run = spawnAndWait(settings.batchProgram,
                                     {QStringLiteral("--install-dir"), installation, QStringLiteral("--accept-terms"),
                                      QStringLiteral("auto")},
                                     SpawnOptions{true, false});
    if (run.exitCode != 0)
        QTextStream(stderr) << "SupportToolBatch auto failed: " << run.errors.right(2000) << Qt::endl;
    return run.exitCode == 0;
}

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
    if (!fullRun(settings, installation))
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
    if (!fullRun(settings, installation))
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
    return finish(true);
}

} // namespace bench
