// Support's side at scale: the findings of 500 archives read by one
// "SupportToolBatch --read FOLDER" against 500 runs of "--read ARCHIVE", one
// per archive, as a shell loop starts them; and the one run's own peak
// memory. The archives are the runner's own archive of a full run ("all"),
// copied with its reports varied so that their findings differ.

#include "barespawn.h"
#include "benchmarks.h"
#include "fullrun.h"
#include "reports/reportsources.h"
#include "supportzip/archivereader.h"
#include "zipmaker.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>

namespace bench {

namespace {

constexpr int kArchives = 500;
constexpr double kLeastSpeedUp = 5;
constexpr double kMemoryLimitMb = 150;

// The copy number `copy` of a report's content: the memory figures, the
// ping's losses and the servers' answers vary from copy to copy.
QByteArray varied(QByteArray content, int copy)
{
    static const char *const totals[] = {"4", "7.9", "16", "32", "64"};
    static const char *const available[] = {"1.5", "3", "12"};
    QString text = QString::fromUtf8(content);
    text.replace(QRegularExpression(QStringLiteral("(TotalMemorySize +: )\\S+")),
                 QStringLiteral("\\1") + QLatin1String(totals[copy % 5]));
    text.replace(QRegularExpression(QStringLiteral("(AvailableMemorySize +: )\\S+")),
                 QStringLiteral("\\1") + QLatin1String(available[copy % 3]));
    if (copy % 3 == 0)
        text.replace(QStringLiteral("4 packets transmitted, 4 received, 0% packet loss"),
                     QStringLiteral("4 packets transmitted, 3 received, 25% packet loss"));
    // Every fourth copy's servers answered, and of those every other slowly.
    if (copy % 4 == 0) {
        const QString ms = copy % 8 == 0 ? QStringLiteral("3400") : QStringLiteral("180");
        text.replace(QRegularExpression(QStringLiteral("mainwindow.cpp:318\\] download file fail from (\\S+) failed")),
                     QStringLiteral("mainwindow.cpp:325] download file done from \\1 in ") + ms + QStringLiteral(" ms"));
        text.replace(QRegularExpression(QStringLiteral("mainwindow.cpp:347\\] query API fail from (\\S+) failed")),
                     QStringLiteral("mainwindow.cpp:354] query API done from \\1 in ") + ms + QStringLiteral(" ms"));
    }
    return text.toUtf8();
}

// Copies of the archive at path in folder, each with its reports varied;
// *entryCount tells how many entries each holds.
bool makeCopies(const QString &path, const QString &folder, int count, int *entryCount)
{
    QString problem;
    const std::optional<archivereader::ArchiveReader> archive =
        archivereader::ArchiveReader::open(path, findings::kMaxArchiveEntries, &problem);
    if (!archive) {
        QTextStream(stderr) << "the run's archive cannot be read: " << problem << Qt::endl;
        return false;
    }
    testsupport::ZipEntries entries;
    for (int index = 0; index < archive->entries().size(); ++index) {
        QByteArray content;
        if (!archive->read(index, findings::kMaxReportBytes, &content, &problem))
            return false;
        entries.append({archive->entries().at(index).name, content});
    }
    *entryCount = entries.size();
    QDir().mkpath(folder);
    for (int copy = 0; copy < count; ++copy) {
        testsupport::ZipEntries copied = entries;
        for (auto &[name, content] : copied) {
            if (!findings::reportNameOf(name).isEmpty())
                content = varied(content, copy);
        }
        if (!testsupport::makeZip(QStringLiteral("%1/ticket-%2.zip").arg(folder).arg(copy, 4, 10, QLatin1Char('0')), copied))
            return false;
    }
    return true;
}

} // namespace

bool manyArchives(Report &report, const Settings &settings)
{
    const QString root = settings.workFolder + QStringLiteral("/scale");
    const auto finish = [&root](bool ok) {
        QDir(root).removeRecursively();
        return ok;
    };
    const QString installation = root + QStringLiteral("/install");
    if (!fullRun(settings, installation, QStringLiteral("all")))
        return finish(false);
    const int count = settings.quick ? 50 : kArchives;
    const QString folder = root + QStringLiteral("/week");
    int entryCount = 0;
    if (!makeCopies(installation + QStringLiteral("/zziplog.zip"), folder, count, &entryCount))
        return finish(false);
    const QStringList archives = QDir(folder).entryList(QDir::Files, QDir::Name);

    // What is measured reads every archive: the one run's summary says so.
    const Spawned check = spawnAndWait(settings.batchProgram, {QStringLiteral("--read"), folder, QStringLiteral("--summary")});
    const QByteArray summary = check.output.mid(check.output.indexOf("\nSources: ") + 1);
    if (check.exitCode != 0 || !summary.startsWith(QStringLiteral("Sources: %1, read: %1, refused: 0\n").arg(count).toUtf8())) {
        QTextStream(stderr) << "SupportToolBatch --read of the folder failed: " << check.errors.right(2000) << summary
                            << Qt::endl;
        return finish(false);
    }

    bool failed = false;
    long peakKb = 0;
    const SideBySide sides = alternate(
        settings.quick ? 1 : 3, 1,
        [&] {
            const Spawned run =
                spawnAndWait(settings.batchProgram, {QStringLiteral("--read"), folder}, SpawnOptions{true, true});
            failed = failed || run.exitCode != 0;
            peakKb = std::max(peakKb, run.ownPeakKb);
            return run.wallMs / 1000.0;
        },
        [&] {
            double seconds = 0;
            for (const QString &name : archives) {
                const Spawned run = spawnAndWait(settings.batchProgram, {QStringLiteral("--read"), folder + QLatin1Char('/') + name},
                                                 SpawnOptions{true, false});
                failed = failed || run.exitCode != 0;
                seconds += run.wallMs / 1000.0;
            }
            return seconds;
        });
    if (failed) {
        QTextStream(stderr) << "a SupportToolBatch --read run failed" << Qt::endl;
        return finish(false);
    }
    const Side one{QStringLiteral("one --read of the folder"), sides.first};
    const Side each{QStringLiteral("%1 runs of --read, one per archive").arg(count), sides.second};
    report.ratio(QStringLiteral("SupportToolBatch --read of %1 archives in one run against one run each").arg(count), one,
                 each, QStringLiteral("s"), 1 / kLeastSpeedUp);
    report.note(QStringLiteral("%1x faster (target at least %2x); archives of %3 KB, %4 entries each; start to exit")
                    .arg(sides.second.median() / sides.first.median(), 0, 'f', 1)
                    .arg(kLeastSpeedUp)
                    .arg(QFileInfo(folder + QLatin1Char('/') + archives.first()).size() / 1024.0, 0, 'f', 1)
                    .arg(entryCount));
    QStringList table;
    for (const QByteArray &line : summary.trimmed().split('\n'))
        table << QString::fromUtf8(line);
    report.limit(QStringLiteral("SupportToolBatch --read of %1 archives, peak memory").arg(count), peakKb / 1024.0,
                 kMemoryLimitMb, QStringLiteral("MB"),
                 QStringList{QStringLiteral("its own peak resident set (VmHWM, sampled every 5 ms, highest of the runs); "
                                            "what --summary says of the archives:")}
                     + table);
    return finish(true);
}

} // namespace bench
