// The archive steps when the archiver is missing, fails or claims a success
// it did not have: the tool must say the archive does not hold this run's
// logs, never that everything was packed, and must clean up and come back
// as after any other run.

#include "archive/archiver.h"
#include "archivesupport.h"
#include "environmentvalue.h"
#include "faultverdict.h"
#include "sandbox.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <limits>

using namespace testsupport;

namespace {

using Slot = void (MainWindow::*)();
const QString kPacked = QStringLiteral(
    "All the logs have been packed and zipped into \"zziplog.zip\" under your Tessaly render installation folder");
const QString kZipFinished = QStringLiteral("Zip finished, saved into zziplog.zip in your installation folder");
const QString kZipFailed = QStringLiteral("Zip failed, zziplog.zip does not hold the logs of this run: ");
const QByteArray kOldArchive = "an archive of an earlier run";

} // namespace

Q_DECLARE_METATYPE(Slot)

class FaultArchiverTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWindowTests(); }

    void archiverFaults_data()
    {
        QTest::addColumn<Slot>("slot");
        QTest::addColumn<FixtureSteps>("archiver"); // what the 7z on the path does; no steps: none there
        QTest::addColumn<bool>("earlierArchive");
        QTest::addColumn<QString>("reason");

        const struct
        {
            const char *name;
            FixtureSteps steps;
            bool earlierArchive;
            const char *reason;
        } faults[] = {
            {"missing", FixtureSteps(), false, "no 7-Zip archiver was found"},
            {"fatal error", FixtureSteps().err("ERROR: disk full\n").exit(2), false,
             "ended with error code 2 (fatal error)"},
            {"crashed", FixtureSteps().crash(), false, "stopped unexpectedly"},
            {"success without an archive", FixtureSteps().exit(0), false, "ended without writing zziplog.zip"},
            {"success leaving the old archive untouched", FixtureSteps().exit(0), true,
             "ended without writing zziplog.zip"},
            {"fatal error after part of an archive", FixtureSteps().writeToArgument(2, "cut off\n").exit(2), true,
             "ended with error code 2"},
            {"warnings without an archive", FixtureSteps().err("WARNING: x\n").exit(1), false,
             "ended without writing zziplog.zip"},
        };
        const struct
        {
            const char *name;
            Slot slot;
        } actions[] = {{"zipLogs", &MainWindow::zipLogs}, {"gatherAndZipAtOnce", &MainWindow::gatherAndZipAtOnce}};
        for (const auto &s : actions) {
            for (const auto &f : faults) {
                QTest::addRow("%s: %s", s.name, f.name)
                    << s.slot << f.steps << f.earlierArchive << QString::fromLatin1(f.reason);
            }
        }
    }
    void archiverFaults()
    {
        QFETCH(Slot, slot);
        QFETCH(FixtureSteps, archiver);
        QFETCH(bool, earlierArchive);
        QFETCH(QString, reason);

        const FixturePath fixtures;
        fixtures.addSilentShells();
        if (!archiver.text().isEmpty())
            fixtures.addFixture(QStringLiteral("7z"), archiver);
        // Only the fixtures: no system 7-Zip may stand in for the one under test.
        const SearchPathOverride path({fixtures.path()});
        const NoDesktop noDesktop;
        Sandbox sandbox(QStringLiteral("Tessaly Render"));
        QFile settings(QStringLiteral("SupportToolConfig.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(unreachableServerHosts());
        settings.close();
        if (earlierArchive) {
            QFile old(QStringLiteral("zziplog.zip"));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(kOldArchive);
        }

        MainWindow window;
        const BoundedRun run = runBounded(window, slot, 30000);
        QCOMPARE(brokenPromises(window, run, sandbox), QStringList());

        const QString pane = paneText(window);
        QVERIFY2(!pane.contains(kPacked), qPrintable(pane));
        QVERIFY2(pane.contains(QStringLiteral("Zipping failed: ")), qPrintable(pane));
        QVERIFY2(pane.contains(reason), qPrintable(pane));

        const QStringList zipReports = reportFiles(QStringLiteral("SupportLog_zip_"));
        QCOMPARE(zipReports.size(), 1);
        bool failureRecorded = false;
        for (const Record &record : recordsOf(zipReports.first())) {
            QVERIFY2(record.text != kZipFinished, "the failed archive run was reported as a success");
            if (record.line == 620 && record.level == QLatin1Char('W') && record.text.startsWith(kZipFailed)
                && record.text.contains(reason))
                failureRecorded = true;
        }
        QVERIFY(failureRecorded);

        // Cleaned up as after any run, and an earlier archive is left as it was.
        QVERIFY(!QFileInfo::exists(QStringLiteral("logs_quillon")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("logsLocations.txt")));
        QCOMPARE(readFile(QStringLiteral("zziplog.zip")), earlierArchive ? kOldArchive : QByteArray());
        QVERIFY(!QFileInfo::exists(QStringLiteral("zziplog.unfinished.zip")));
        // Nor is an archive that is not this run's revealed as if it were.
        QVERIFY2(!pane.contains(QStringLiteral("file path: ")), qPrintable(pane));
        // No shareable copy is made of an archive that does not hold this run.
        QVERIFY(!QFileInfo::exists(QStringLiteral("zziplog_shareable.zip")));
        QCOMPARE(pane.contains(QStringLiteral("No shareable copy was made: zziplog.zip does not hold the logs of this run.")),
                 slot == &MainWindow::gatherAndZipAtOnce);
    }

    // A hung archiver meets its time limit, is stopped and counts as failed;
    // the limit leaves every healthy run far more time than it needs.
    void hungArchiverIsStopped()
    {
        const FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("7z"), FixtureSteps().hang());
        const SearchPathOverride path({fixtures.path()});
        Sandbox sandbox;

        QElapsedTimer clock;
        clock.start();
        const archiver::Result result = archiver::run(300);
        QVERIFY2(clock.elapsed() < 10000, "the hung archiver was waited for");
        QCOMPARE(result.status, archiver::Result::Status::TimedOut);
        QVERIFY(result.failed());
        QVERIFY2(archiver::failureReason(result).contains(QStringLiteral("had not finished after 0.005 minutes")),
                 qPrintable(archiver::failureReason(result)));
    }

    void timeLimitGrowsWithTheLogs_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<int>("minutes");
        const qint64 step = 50LL * 1024 * 1024;
        QTest::newRow("nothing") << qint64(0) << 10;
        QTest::newRow("one byte") << qint64(1) << 11;
        QTest::newRow("one step") << step << 11;
        QTest::newRow("just over") << step + 1 << 12;
        QTest::newRow("200 MB") << 4 * step << 14;
        QTest::newRow("beyond what a limit can hold") << std::numeric_limits<qint64>::max() / 2
                                                      << std::numeric_limits<int>::max() / 60000;
    }

    void timeLimitGrowsWithTheLogs()
    {
        QFETCH(qint64, bytes);
        QFETCH(int, minutes);
        QCOMPARE(archiver::timeLimitMs(bytes) / 60000, minutes);
    }

    // The guard of every fault case must itself see a write where none may
    // happen, and nothing where the tool may write.
    void sandboxNoticesStrayWrites()
    {
        Sandbox sandbox;
        QCOMPARE(sandbox.strayChanges(), QStringList());
        sandbox.writeFile(QStringLiteral("install/logs/SupportTool/own.txt"), "mine");
        QFile own(sandbox.userFolder() + QStringLiteral("/Saved/own.log"));
        QDir().mkpath(QFileInfo(own).path());
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.close();
        QCOMPARE(sandbox.strayChanges(), QStringList());

        sandbox.writeFile(QStringLiteral("bystander/notes.txt"), "overwritten");
        QVERIFY(QFile::remove(sandbox.bystander() + QStringLiteral("/deep/keep.log")));
        sandbox.writeFile(QStringLiteral("tmp/leftover"), "x");
        QCOMPARE(sandbox.strayChanges(),
                 QStringList({QStringLiteral("changed ") + sandbox.bystander() + QStringLiteral("/notes.txt"),
                              QStringLiteral("created ") + sandbox.root() + QStringLiteral("/tmp/leftover"),
                              QStringLiteral("deleted ") + sandbox.bystander() + QStringLiteral("/deep/keep.log")}));
    }
};

QTEST_MAIN(FaultArchiverTest)
#include "tst_fault_archiver.moc"
