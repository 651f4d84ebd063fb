// The program that writes the shareable copy, SupportToolShareable, and the
// window's side of it: what the pane shows of each way a run can end; that
// it stops cleanly when its input ends or SIGTERM or SIGINT comes; and that no
// temporary file of a copy killed while it was written survives the next
// run, nor a kill under the window's wait; and that a copy started by hand
// while a run holds the installation folder changes nothing.

#include "installation/runlock.h"
#include "installation/scratchfile.h"
#include "shareable/shareableprogram.h"
#include "archivesupport.h"
#include "testsupport.h"
#include "zipmaker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using namespace testsupport;
using Status = shareablecopy::Outcome::Status;

namespace {

const QString kProgram = QStringLiteral(PROGRAM_DIR "/SupportToolShareable");

// An archive of log lines naming the listed host; some megabytes take
// long enough to write that a stop or a kill lands in the middle.
void addArchive(const InstallFolder &folder, int megabytes)
{
    QByteArray log;
    for (int line = 0; log.size() < megabytes * 1024 * 1024; ++line)
        log += "LogNet: frame " + QByteArray::number(line) + " sent to nas.studio.lan in " + QByteArray::number(line % 97) + " ms\n";
    QVERIFY(makeZip(folder.filePath(QStringLiteral("zziplog.zip")), {{QStringLiteral("logs_quillon/render.log"), log}},
                    true));
    folder.writeFile(QStringLiteral("SupportToolConfig.ini"), "[ipconfig]\n1=nas.studio.lan\n");
}

bool temporaryFileBegun(const InstallFolder &folder)
{
    return !QDir(folder.path()).entryList({QStringLiteral("zziplog_shareable.zip.*")}, QDir::Files).isEmpty();
}

// Starts the program in folder and waits until its temporary file is begun.
bool startAndWaitForWriting(QProcess &program, const InstallFolder &folder)
{
    program.setWorkingDirectory(folder.path());
    program.start(kProgram, QStringList());
    QElapsedTimer clock;
    clock.start();
    while (!temporaryFileBegun(folder) && program.state() != QProcess::NotRunning && clock.elapsed() < 30000)
        QThread::msleep(2);
    return temporaryFileBegun(folder);
}

} // namespace

class ShareableProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void paneLineOfARun_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("errors");
        QTest::addColumn<QString>("ending"); // "crashed", "timedOut", "failedToStart", "overflowed", "cancelled"
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("paneText");
        const QString failed = QStringLiteral("The shareable copy could not be written: ");
        QTest::newRow("written") << 0 << QByteArray("Shareable copy without personal data: D:\\zziplog_shareable.zip (3 ...\n")
                                 << QByteArray() << QString() << int(Status::Written)
                                 << "Shareable copy without personal data: D:\\zziplog_shareable.zip (3 ...";
        QTest::newRow("its reason") << 1 << QByteArray() << QByteArray("D:\\zziplog_shareable.zip cannot be written: Disk full\n")
                                    << QString() << int(Status::Failed) << failed + "D:\\zziplog_shareable.zip cannot be written: Disk full.";
        QTest::newRow("no reason") << 4 << QByteArray() << QByteArray() << QString() << int(Status::Failed)
                                   << failed + "SupportToolShareable ended with exit code 4.";
        QTest::newRow("nothing said") << 0 << QByteArray("\n") << QByteArray() << QString() << int(Status::Failed)
                                      << failed + "SupportToolShareable did not say where it wrote the copy.";
        QTest::newRow("crashed") << 0 << QByteArray() << QByteArray() << "crashed" << int(Status::Failed)
                                 << failed + "SupportToolShareable crashed.";
        QTest::newRow("timed out") << 0 << QByteArray() << QByteArray() << "timedOut" << int(Status::Failed)
                                   << failed + "SupportToolShareable had not finished after 12 minutes and was stopped.";
        QTest::newRow("not started") << 0 << QByteArray() << QByteArray() << "failedToStart" << int(Status::Failed)
                                     << failed + "SupportToolShareable could not be started: Permission denied.";
        QTest::newRow("too much") << 0 << QByteArray() << QByteArray() << "overflowed" << int(Status::Failed)
                                  << failed + "SupportToolShareable wrote too much and was stopped.";
        QTest::newRow("cancelled") << 0 << QByteArray() << QByteArray() << "cancelled" << int(Status::Cancelled) << QString();
    }

    void paneLineOfARun()
    {
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, errors);
        QFETCH(QString, ending);
        QFETCH(int, status);
        QFETCH(QString, paneText);
        childwait::Outcome outcome;
        outcome.exitCode = exitCode;
        outcome.output = output;
        outcome.errors = errors;
        outcome.crashed = ending == QLatin1String("crashed") || ending == QLatin1String("timedOut");
        outcome.timedOut = ending == QLatin1String("timedOut");
        outcome.failedToStart = ending == QLatin1String("failedToStart");
        outcome.startError = outcome.failedToStart ? QStringLiteral("Permission denied") : QString();
        outcome.outputOverflowed = ending == QLatin1String("overflowed");
        outcome.cancelled = ending == QLatin1String("cancelled");
        const shareableprogram::Result result = shareableprogram::resultOf(outcome, 12 * 60000);
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.paneText, paneText);
    }

    // Only plain files named as libzip's and Qt's temporary files go; never
    // through a link, nor anything else.
    void leftoverTemporariesRemoved()
    {
        const InstallFolder folder;
        QTemporaryDir outside;
        const QString bystander = outside.filePath(QStringLiteral("bystander"));
        QVERIFY(QFile(bystander).open(QIODevice::WriteOnly));
        for (const char *name : {"zziplog_shareable.zip.a1B2c3", "zziplog_shareable.zip.8f3a2b1c", "zziplog_shareable.zip.bak",
                                 "zziplog_shareable.zip.a1B2c3d4e", "zziplog_shareable.zip", "zziplog.zip.a1B2c3"})
            folder.writeFile(QLatin1String(name), "x");
        QVERIFY(QFile::link(bystander, folder.filePath(QStringLiteral("zziplog_shareable.zip.LnK123"))));
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("zziplog_shareable.zip.Dir456")));
        scratchfile::removeLeftoverTemporaries(folder.filePath(QStringLiteral("zziplog_shareable.zip")));
        QCOMPARE(testsupport::folderEntries(folder.path()),
                 (QStringList{"logs", "zziplog.zip.a1B2c3", "zziplog_shareable.zip", "zziplog_shareable.zip.Dir456",
                              "zziplog_shareable.zip.LnK123", "zziplog_shareable.zip.a1B2c3d4e", "zziplog_shareable.zip.bak"}));
        QVERIFY(QFileInfo::exists(bystander));
    }

    // The names come from the settings file too; the leftovers of an earlier
    // killed copy go before it writes.
    void writesTheCopyAndSaysWhere()
    {
        const InstallFolder folder;
        addArchive(folder, 1);
        folder.writeFile(QStringLiteral("zziplog_shareable.zip.Old123"), "half a copy");
        QProcess program;
        program.setWorkingDirectory(folder.path());
        program.start(kProgram, QStringList());
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), shareableprogram::kWritten);
        const QString copy = folder.filePath(QStringLiteral("zziplog_shareable.zip"));
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()),
                 QStringLiteral("Shareable copy without personal data: %1 (1 text files cleaned, 0 other files left out). "
                                "The real values behind its stand-ins are listed in %2, which stays on this computer.\n")
                     .arg(copy, folder.filePath(QStringLiteral("zziplog_shareable_map.txt"))));
        const QByteArray map = readFile(folder.filePath(QStringLiteral("zziplog_shareable_map.txt")));
        QVERIFY2(map.contains("\thost name\tnas.studio.lan\n"), map.constData());
        QCOMPARE(testsupport::folderEntries(folder.path()), (QStringList{"SupportToolConfig.ini", "logs", "zziplog.zip",
                                                      "zziplog_shareable.zip", "zziplog_shareable_map.txt"}));
    }

    // Its input's end (the window gone), SIGTERM or SIGINT: it stops soon,
    // and removes what it had begun.
    void stopsCleanly_data()
    {
        QTest::addColumn<QString>("stop"); // how it is stopped while it writes
        QTest::newRow("input ends") << "input ends";
        QTest::newRow("SIGTERM") << "SIGTERM";
        QTest::newRow("SIGINT") << "SIGINT";
        // Its input at its end from the start: it stops before it writes.
        QTest::newRow("input on /dev/null") << "null input";
    }

    void stopsCleanly()
    {
        QFETCH(QString, stop);
        const InstallFolder folder;
        addArchive(folder, 8);
        QProcess program;
        if (stop == QLatin1String("null input")) {
            program.setStandardInputFile(QProcess::nullDevice());
            program.setWorkingDirectory(folder.path());
            program.start(kProgram, QStringList());
        } else {
            QVERIFY2(startAndWaitForWriting(program, folder), program.readAllStandardError().constData());
        }
        if (stop == QLatin1String("input ends"))
            program.closeWriteChannel();
        else if (stop == QLatin1String("SIGTERM"))
            program.terminate();
        else if (stop == QLatin1String("SIGINT"))
            ::kill(pid_t(program.processId()), SIGINT);
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), shareableprogram::kStopped);
        QCOMPARE(testsupport::folderEntries(folder.path()), (QStringList{"SupportToolConfig.ini", "logs", "zziplog.zip"}));
    }

    // A kill leaves libzip's temporary file; the next run removes it.
    void killedCopyLeavesNothingAfterTheNextRun()
    {
        const InstallFolder folder;
        addArchive(folder, 8);
        QProcess killed;
        QVERIFY(startAndWaitForWriting(killed, folder));
        killed.kill();
        QVERIFY(killed.waitForFinished(5000));
        QVERIFY(temporaryFileBegun(folder));
        QProcess next;
        next.setWorkingDirectory(folder.path());
        next.start(kProgram, QStringList());
        QVERIFY(next.waitForFinished(60000));
        QCOMPARE(next.exitCode(), shareableprogram::kWritten);
        QCOMPARE(testsupport::folderEntries(folder.path()), (QStringList{"SupportToolConfig.ini", "logs", "zziplog.zip",
                                                      "zziplog_shareable.zip", "zziplog_shareable_map.txt"}));
    }

    // One writer at a time: a copy started by hand while a run holds the
    // installation folder's lock leaves everything as it was (the run's
    // temporary file included) and ends with 10; the run's own copy, handed
    // the lock as the window starts it, is written.
    void oneWriterAtATime()
    {
        const InstallFolder folder;
        addArchive(folder, 1);
        QString problem;
        QCOMPARE(int(runlock::takeForProcess(folder.path(), &problem)), int(runlock::Outcome::Held));
        folder.writeFile(QStringLiteral("zziplog_shareable.zip.Run123"), "the run's copy, half written");
        const QStringList before = testsupport::folderEntries(folder.path());
        QProcess byHand;
        byHand.setWorkingDirectory(folder.path());
        byHand.start(kProgram, QStringList());
        QVERIFY(byHand.waitForFinished(30000));
        QCOMPARE(byHand.exitCode(), shareableprogram::kAnotherRun);
        QCOMPARE(QString::fromUtf8(byHand.readAllStandardError()).trimmed(), runlock::busyMessage(folder.path()));
        QCOMPARE(testsupport::folderEntries(folder.path()), before);

        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", PROGRAM_DIR ":" + path);
        const shareableprogram::Result handedOver = shareableprogram::run();
        qputenv("PATH", path);
        QVERIFY2(handedOver.status == Status::Written, qPrintable(handedOver.paneText));
    }

    // The variable that names a handed-over lock opens nothing by itself: a
    // descriptor of the folder that does not hold the lock, or one of
    // another folder, finds it busy; only the run's own descriptor holds it.
    void lockHandOverCannotBeFaked()
    {
        const InstallFolder folder;
        const QTemporaryDir other;
        QString problem;
        QCOMPARE(int(runlock::takeForProcess(folder.path(), &problem)), int(runlock::Outcome::Held));
        const qintptr runs = runlock::heldHandle();
        const int ownOpen = ::open(QFile::encodeName(folder.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int otherFolder = ::open(QFile::encodeName(other.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(ownOpen >= 0 && otherFolder >= 0);
        const auto handedOver = [&](qintptr handle) {
            qputenv(runlock::handOverVariable().constData(), QByteArray::number(handle));
            return int(runlock::takeHandedOver(folder.path(), &problem));
        };
        QCOMPARE(handedOver(ownOpen), int(runlock::Outcome::Busy));
        QCOMPARE(handedOver(otherFolder), int(runlock::Outcome::Busy));
        QCOMPARE(handedOver(runs), int(runlock::Outcome::Held));
        qunsetenv(runlock::handOverVariable().constData());
        ::close(ownOpen);
        ::close(otherFolder);
    }

    // Under the window's wait: a program that cannot be found, or that
    // crashes leaving a temporary file, is a failure line, and the file goes.
    void windowSideFailures()
    {
        const InstallFolder folder;
        addArchive(folder, 1);
        {
            const FixturePath fixtures;
            fixtures.addScript(QStringLiteral("SupportToolShareable"), "echo begun > zziplog_shareable.zip.Ab12Cd\nkill -9 $$");
            const shareableprogram::Result crashed = shareableprogram::run();
            QCOMPARE(crashed.paneText, QStringLiteral("The shareable copy could not be written: SupportToolShareable crashed."));
        }
        QCOMPARE(testsupport::folderEntries(folder.path()), (QStringList{"SupportToolConfig.ini", "logs", "zziplog.zip"}));

        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(folder.path()));
        const shareableprogram::Result missing = shareableprogram::run();
        qputenv("PATH", path);
        QCOMPARE(int(missing.status), int(Status::Failed));
        QVERIFY2(missing.paneText.startsWith(QStringLiteral(
                     "The shareable copy could not be written: SupportToolShareable was found neither beside ")),
                 qPrintable(missing.paneText));
    }
};

QTEST_GUILESS_MAIN(ShareableProgramTest)
#include "tst_shareableprogram.moc"
