// collectAndZipLogs on a generated 200 MB log tree against 7-Zip run
// directly, with the same switches, on the same folders; and the shareable
// copy of the archive it made against that packing.

#include "archive/archiver.h"
#include "archive/logfolders.h"
#include "archive/packing.h"
#include "barespawn.h"
#include "benchmarks.h"
#include "inspection/displaysystemrelatedinfo.h"
#include "logtree.h"
#include "supportzip/shareablecopy.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <atomic>

namespace bench {

namespace {

constexpr qint64 kTreeBytes = 200 * 1024 * 1024;

// Where the tool finds an installation's logs and a user's logs, made in a
// scratch folder: the installation folder becomes current and the user's
// data location is pointed below the scratch folder.
struct LogLayout
{
    QString installation;
    QString appDataFolder;
    QString installationLogs;
    QString perUserLogs;
};

LogLayout prepareLayout(const QString &root)
{
    LogLayout layout;
    layout.installation = root + QStringLiteral("/install");
    QDir().mkpath(layout.installation);
    QDir::setCurrent(layout.installation);
    // The tool's data location is $XDG_DATA_HOME/SupportTool; the user's
    // AppData folder is two levels above it.
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/home/share")));
    layout.appDataFolder = logfolders::appDataFolder();
    layout.installationLogs = logfolders::installationLogs();
    layout.perUserLogs = logfolders::perUserLogs(layout.appDataFolder);
    return layout;
}

double megabytes(qint64 bytes) { return bytes / (1024.0 * 1024.0); }

} // namespace

bool logArchive(Report &report, const Settings &settings)
{
    const QString previousFolder = QDir::currentPath();
    const QByteArray previousDataHome = qgetenv("XDG_DATA_HOME");
    const QString root = settings.workFolder + QStringLiteral("/archive");
    const LogLayout layout = prepareLayout(root);
    const auto restore = [&] {
        QDir::setCurrent(previousFolder);
        if (previousDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", previousDataHome);
        QDir(root).removeRecursively();
    };

    const QString program = archiver::locate();
    if (program.isEmpty()) {
        QTextStream(stderr) << "No 7-Zip archiver (7z, 7zz, 7za) is installed" << Qt::endl;
        restore();
        return false;
    }

    const qint64 treeBytes = settings.quick ? kTreeBytes / 10 : kTreeBytes;
    const logtree::Totals installed =
        logtree::fill(layout.installationLogs,
                      {QString(), QStringLiteral("SupportTool"), QStringLiteral("Render"), QStringLiteral("Render/Sessions"),
                       QStringLiteral("Crashes/3f2a9c41")},
                      treeBytes * 3 / 5, 1207);
    const logtree::Totals perUser =
        logtree::fill(layout.perUserLogs,
                      {QStringLiteral("Logs"), QStringLiteral("Logs/Network"), QStringLiteral("Crashes/UECC-Windows-7F3A")},
                      treeBytes - installed.bytes, 2026);

    // The direct run names the log folders themselves where the tool names its copies.
    const QString directList = root + QStringLiteral("/direct-list.txt");
    const QString directArchive = root + QStringLiteral("/direct.zip");
    {
        QFile list(directList);
        list.open(QIODevice::WriteOnly);
        list.write(QFile::encodeName(layout.installationLogs) + '\n' + QFile::encodeName(layout.perUserLogs) + '\n');
    }

    qint64 toolArchiveBytes = 0;
    qint64 directArchiveBytes = 0;
    qint64 copyBytes = 0;
    int failures = 0;
    int cleaned = 0;
    // The tool's archive stays for the shareable copy, which comes next in each round.
    const auto tool = [&] {
        QFile::remove(archiver::archiveName());
        packing::Outcome packed;
        QString appData;
        QElapsedTimer clock;
        clock.start();
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appData, packed);
        const double ms = clock.nsecsElapsed() / 1e6;
        if (!packed.complete())
            ++failures;
        toolArchiveBytes = QFileInfo(archiver::archiveName()).size();
        return ms;
    };
    const auto shareable = [&] {
        const std::atomic<bool> stop{false};
        QElapsedTimer clock;
        clock.start();
        const shareablecopy::Outcome outcome =
            shareablecopy::write(archiver::archiveName(), shareablecopy::copyName(), shareablecopy::mapName(),
                                 shareable::systemNames(), stop);
        const double ms = clock.nsecsElapsed() / 1e6;
        if (outcome.status != shareablecopy::Outcome::Status::Written) {
            QTextStream(stderr) << "The shareable copy failed: " << outcome.problem << Qt::endl;
            ++failures;
        }
        cleaned = outcome.textEntries;
        copyBytes = QFileInfo(shareablecopy::copyName()).size();
        for (const QString &name : {archiver::archiveName(), shareablecopy::copyName(), shareablecopy::mapName()})
            QFile::remove(name);
        return ms;
    };
    const auto direct = [&] {
        QFile::remove(directArchive);
        const Spawned run = spawnAndWait(
            program, {QStringLiteral("a"), directArchive, QLatin1Char('@') + directList}, SpawnOptions{true, false});
        if (run.exitCode != 0)
            ++failures;
        directArchiveBytes = QFileInfo(directArchive).size();
        QFile::remove(directArchive);
        return run.wallMs;
    };
    const QVector<Figures> times = alternate(settings.quick ? 1 : 3, 0, {tool, direct, shareable});

    report.ratio(QStringLiteral("collectAndZipLogs of 200 MB"), {QStringLiteral("collectAndZipLogs"), times.at(0)},
                 {QStringLiteral("7-Zip directly"), times.at(1)}, QStringLiteral("ms"), 1.5);
    report.ratio(QStringLiteral("shareable copy of that archive"), {QStringLiteral("shareable copy"), times.at(2)},
                 {QStringLiteral("collectAndZipLogs"), times.at(0)}, QStringLiteral("ms"), 1.5);
    report.note(QStringLiteral("tree: %1 files, %2 MB (installation logs %3 files, user logs %4 files); "
                               "archives: tool %5 MB, direct %6 MB, shareable copy %8 MB (%9 text entries); archiver %7")
                    .arg(installed.files + perUser.files)
                    .arg(megabytes(installed.bytes + perUser.bytes), 0, 'f', 1)
                    .arg(installed.files)
                    .arg(perUser.files)
                    .arg(megabytes(toolArchiveBytes), 0, 'f', 1)
                    .arg(megabytes(directArchiveBytes), 0, 'f', 1)
                    .arg(program)
                    .arg(megabytes(copyBytes), 0, 'f', 1)
                    .arg(cleaned));
    restore();
    if (failures > 0) {
        QTextStream(stderr) << failures << " archive runs failed" << Qt::endl;
        return false;
    }
    return true;
}

} // namespace bench
