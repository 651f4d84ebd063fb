// The copy of one log folder when it cannot simply be whole, by outcome: a
// disk too full for it, entries left out (with names that are not UTF-8 and
// a copy folder left by an interrupted run), and a cancelled or long copy
// (the window stays live, a stop is quick, a sparse file stays sparse).

#include "archive/logtreecopy.h"
#include "archivesupport.h"
#include "filesizelimit.h"
#include "hostilefolders.h"
#include "inspection/displaysystemrelatedinfo.h"
#include "process/cancellation.h"
#include "process/workaside.h"
#include "records/records.h"
#include "stopsignals.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;

namespace {

// An installation folder, current, whose zip report gets the records.
struct ZipInstall : InstallFolder
{
    ZipInstall() { records::switchReport(QStringLiteral("./logs/SupportTool/SupportLog_zip_")); }
};

// Names that are not UTF-8 are beyond QDir::removeRecursively: removed by
// their bytes at the end of a case.
struct BytesNamedFiles
{
    QList<QByteArray> paths;
    ~BytesNamedFiles()
    {
        for (auto path = paths.crbegin(); path != paths.crend(); ++path)
            ::remove(path->constData());
    }
};

// The copy's records in the zip report of the current installation folder,
// as "I550 text".
QStringList copyRecords()
{
    QStringList texts;
    for (const Record &record : recordsOf(reportFiles(QStringLiteral("SupportLog_zip_")).value(0))) {
        if (record.file == QLatin1String(records::kInspection) && record.line >= 550 && record.line <= 552)
            texts << QStringLiteral("%1%2 %3").arg(record.level).arg(record.line).arg(record.text);
    }
    return texts;
}

void writeBytesNamed(const QByteArray &path, const QByteArray &content)
{
    const int file = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(file >= 0);
    QCOMPARE(::write(file, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(file);
}

qint64 blocksOf(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? qint64(status.st_blocks) : -1;
}

} // namespace

class LogCopyTest : public QObject
{
    Q_OBJECT

private slots:
    // Before any other test, while the process has one thread to fork.
    void secondSignalEndsTheRunnerAtOnce()
    {
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const StopSignals stopSignals([] {});
            ::close(ready[0]);
            [[maybe_unused]] const ssize_t written = ::write(ready[1], "r", 1);
            // Busy: the event loop that would read the first signal never runs.
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char byte = 0;
        QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
        ::close(ready[0]);
        ::kill(child, SIGTERM);
        QTest::qWait(100);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, WNOHANG), 0); // the first one only asks
        ::kill(child, SIGINT);
        QElapsedTimer clock;
        clock.start();
        pid_t ended = 0;
        while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 && clock.elapsed() < 5000)
            QTest::qWait(10);
        if (ended == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
        QVERIFY2(ended == child && clock.elapsed() < 1000, "the second signal did not end the process");
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    }

    void initTestCase() { initLogging(); }

    // Disk full: the file that did not fit is not in the copy, cut off, but
    // said by name; the copy is incomplete; the other files are whole.
    void fullDiskFailsTheCopy()
    {
        const ZipInstall install;
        const QString source = install.filePath(QStringLiteral("Saved"));
        const QString copy = install.filePath(QStringLiteral("logs_AppData_Local"));
        QByteArray render;
        while (render.size() < 300 * 1024)
            render += "INFO: frame rendered in 16 ms\n";
        render += "FATAL: GPU device lost\n";
        writeTree(source, {{QStringLiteral("render.log"), render}, {QStringLiteral("small.log"), "small\n"}});

        logtreecopy::Outcome outcome;
        {
            const FileSizeLimit limit(128 * 1024);
            outcome = displaysystemrelatedinfo::instance()->copyLogFolder(source, copy);
        }
        QVERIFY(outcome.made);
        QVERIFY(!outcome.complete);
        QCOMPARE(treeBelow(copy), QStringList{QStringLiteral("small.log")});
        QCOMPARE(readFile(copy + QStringLiteral("/small.log")), QByteArray("small\n"));
        const QStringList texts = copyRecords();
        QVERIFY2(texts.contains(QStringLiteral("W551 Not copied: %1/render.log: its copy could not be written in full (%2)")
                                    .arg(source, QString::fromLocal8Bit(std::strerror(EFBIG)))),
                 qPrintable(texts.join('\n')));
        QVERIFY2(texts.last().startsWith(QStringLiteral("W550 Copy incomplete, 1 of the files and folders in ")),
                 qPrintable(texts.join('\n')));
        QVERIFY(!texts.contains(QStringLiteral("I550 Copy Successfully")));
    }

    // Left out: each entry that is gone, changed or unreadable when its turn
    // comes is named with why, the rest is copied.
    void leftOutEntriesAreNamed_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("why"); // after "<source>/"
        QTest::newRow("file gone") << "file gone" << "victim.log: it is gone";
        QTest::newRow("folder gone") << "folder gone" << "sub: it is gone";
        QTest::newRow("file became a link") << "file link" << "victim.log: it is a link now, which is not followed";
        QTest::newRow("file mode 000") << "file 000" << "victim.log: " + QString::fromLocal8Bit(std::strerror(EACCES));
        QTest::newRow("folder mode 000")
            << "folder 000" << "sub: the folder cannot be read (" + QString::fromLocal8Bit(std::strerror(EACCES)) + ")";
    }

    void leftOutEntriesAreNamed()
    {
        QFETCH(QString, change);
        QFETCH(QString, why);
        if (change.endsWith(QLatin1String("000")) && ::geteuid() == 0)
            QSKIP("running as root: permissions do not keep root from reading");
        const InstallFolder install;
        const QString source = install.filePath(QStringLiteral("source"));
        const QString copy = install.filePath(QStringLiteral("copy"));
        writeTree(source, {{QStringLiteral("app.log"), "app\n"},
                           {QStringLiteral("victim.log"), "victim\n"},
                           {QStringLiteral("sub/inner.log"), "inner\n"}});
        const QString victim = source + QStringLiteral("/victim.log");
        const QString sub = source + QStringLiteral("/sub");
        if (change == QLatin1String("folder 000"))
            QVERIFY(QFile::setPermissions(sub, QFileDevice::Permissions()));
        const QVector<logtreecopy::Entry> listed = logtreecopy::listVisible(source);
        if (change == QLatin1String("file gone")) {
            QVERIFY(QFile::remove(victim));
        } else if (change == QLatin1String("folder gone")) {
            QVERIFY(QDir(sub).removeRecursively());
        } else if (change == QLatin1String("file link")) {
            QVERIFY(QFile::remove(victim));
            QVERIFY(QFile::link(source + QStringLiteral("/app.log"), victim));
        } else if (change == QLatin1String("file 000")) {
            QVERIFY(QFile::setPermissions(victim, QFileDevice::Permissions()));
        }

        const logtreecopy::Outcome outcome = logtreecopy::copyListed(source, listed, copy);
        QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(outcome.made && outcome.complete && !outcome.cancelled);
        QCOMPARE(outcome.leftOut, QStringList{source + QLatin1Char('/') + why});
        QCOMPARE(readFile(copy + QStringLiteral("/app.log")), QByteArray("app\n"));
    }

    // The log folder itself may be a link (moved to another drive): it is
    // followed, and nothing is left out.
    void logFolderThatIsALinkIsFollowed()
    {
        const InstallFolder install;
        const QString moved = install.filePath(QStringLiteral("other drive/Saved"));
        const QString source = install.filePath(QStringLiteral("Saved"));
        writeTree(moved, {{QStringLiteral("render.log"), "render\n"}});
        QVERIFY(QFile::link(moved, source));
        const logtreecopy::Outcome outcome =
            logtreecopy::copyListed(source, logtreecopy::listVisible(source), install.filePath(QStringLiteral("copy")));
        QVERIFY(outcome.made && outcome.leftOut.isEmpty());
        QCOMPARE(readFile(install.filePath(QStringLiteral("copy/render.log"))), QByteArray("render\n"));
    }

    // A folder whose copy would lie deeper than paths reach is left out, with
    // all it holds, in one record; what lies higher is copied.
    void tooDeepFolderIsLeftOut()
    {
        const InstallFolder install;
        const QString source = install.filePath(QStringLiteral("Saved"));
        const QString copy = install.filePath(QStringLiteral("copy"));
        QVERIFY(QDir().mkpath(source));
        const QString level = QStringLiteral("nested-folder-of-a-crash-dump-level-").repeated(5);
        QVERIFY(makeDeepTree(source, level, 30));
        const struct Cleanup
        {
            QString path;
            ~Cleanup() { removeDeepTree(path); }
        } cleanup{source + QLatin1Char('/') + level};

        const logtreecopy::Outcome outcome = logtreecopy::copyListed(source, logtreecopy::listVisible(source), copy);
        removeDeepTree(copy + QLatin1Char('/') + level);
        QVERIFY(outcome.made && outcome.complete);
        QCOMPARE(outcome.leftOut.size(), 1);
        QVERIFY2(outcome.leftOut.first().endsWith(QLatin1Char('/') + level
                                                  + QStringLiteral(": its copy would lie deeper than the system's paths reach")),
                 qPrintable(outcome.leftOut.first()));
        QVERIFY(outcome.leftOut.first().size() > 4000 - copy.size());
    }

    // A copy folder left by an interrupted run that cannot be emptied is not
    // used: nothing is copied into it, and the report says why.
    void copyFolderThatCannotBeEmptied()
    {
        const ZipInstall install;
        const QString source = install.filePath(QStringLiteral("Saved"));
        const QString copy = install.filePath(QStringLiteral("logs_AppData_Local"));
        writeTree(source, {{QStringLiteral("app.log"), "fresh\n"}});
        writeTree(copy, {{QStringLiteral("old/stale.log"), "stale\n"}});
        const ReadOnlyFolders readOnly({copy + QStringLiteral("/old")});
        if (!readOnly.problem().isEmpty())
            QSKIP(qPrintable(readOnly.problem()));

        const logtreecopy::Outcome outcome = displaysystemrelatedinfo::instance()->copyLogFolder(source, copy);
        QVERIFY(!outcome.made);
        QVERIFY(!QFileInfo::exists(copy + QStringLiteral("/app.log")));
        const QStringList texts = copyRecords();
        QCOMPARE(texts.size(), 2);
        QVERIFY2(texts.first().startsWith(QStringLiteral("W551 Not copied: ") + copy
                                          + QStringLiteral(": the files an earlier run left in it cannot be removed (")),
                 qPrintable(texts.first()));
        QCOMPARE(texts.last(), QStringLiteral("W550 Copy failed, the folder ") + copy + QStringLiteral(" cannot be used"));
    }

    // Names that are not valid UTF-8 are copied under valid names (which
    // 7-Zip can pack), said in the report, never colliding with a real name.
    void namesThatAreNotUtf8AreCopied()
    {
        const ZipInstall install;
        const QString source = install.filePath(QStringLiteral("Saved"));
        const QString copy = install.filePath(QStringLiteral("logs_AppData_Local"));
        writeTree(source, {{QStringLiteral("bad%FF%FEname.log"), "a real name\n"}});
        const QByteArray sourceBytes = QFile::encodeName(source);
        const BytesNamedFiles badNames{{sourceBytes + "/bad\xff\xfename.log", sourceBytes + "/crash\xe9",
                                        sourceBytes + "/crash\xe9/dump.txt"}};
        writeBytesNamed(badNames.paths.at(0), "bad name\n");
        QCOMPARE(::mkdir(badNames.paths.at(1).constData(), 0755), 0);
        writeBytesNamed(badNames.paths.at(2), "dump\n");

        const logtreecopy::Outcome outcome = displaysystemrelatedinfo::instance()->copyLogFolder(source, copy);
        QVERIFY(outcome.made && outcome.complete && outcome.leftOut.isEmpty());
        QCOMPARE(treeBelow(copy), (QStringList{QStringLiteral("bad%FF%FEname.log"), QStringLiteral("bad%FF%FEname.log~2"),
                                                QStringLiteral("crash%E9/"), QStringLiteral("crash%E9/dump.txt")}));
        QCOMPARE(readFile(copy + QStringLiteral("/bad%FF%FEname.log")), QByteArray("a real name\n"));
        QCOMPARE(readFile(copy + QStringLiteral("/bad%FF%FEname.log~2")), QByteArray("bad name\n"));
        QCOMPARE(readFile(copy + QStringLiteral("/crash%E9/dump.txt")), QByteArray("dump\n"));
        const QString prefix = QStringLiteral("I552 Copied under a name of its own, its name is not valid UTF-8: ") + source;
        QCOMPARE(copyRecords(), (QStringList{prefix + QStringLiteral("/bad\\xFF\\xFEname.log as bad%FF%FEname.log~2"),
                                             prefix + QStringLiteral("/crash\\xE9 as crash%E9"),
                                             QStringLiteral("I550 Copy Successfully")}));
    }

    // A copy folder left by an interrupted run starts empty: its files are
    // not packed again, and the links in it are removed, never followed.
    void copyFolderStartsEmpty()
    {
        const InstallFolder install;
        const QString source = install.filePath(QStringLiteral("Saved"));
        const QString copy = install.filePath(QStringLiteral("logs_AppData_Local"));
        const QString elsewhere = install.filePath(QStringLiteral("elsewhere"));
        writeTree(source, {{QStringLiteral("app.log"), "fresh\n"}});
        writeTree(elsewhere, {{QStringLiteral("keep.txt"), "somebody's\n"}});
        writeTree(copy, {{QStringLiteral("app.log"), "stale\n"}, {QStringLiteral("old/deep/stale.log"), "stale\n"}});
        QVERIFY(QFile::link(elsewhere, copy + QStringLiteral("/old/folder-link")));
        QVERIFY(QFile::link(elsewhere + QStringLiteral("/keep.txt"), copy + QStringLiteral("/file-link")));
        writeBytesNamed(QFile::encodeName(copy) + "/stale\xff.log", "stale\n");

        const logtreecopy::Outcome outcome = logtreecopy::copyListed(source, logtreecopy::listVisible(source), copy);
        QVERIFY(outcome.made && outcome.leftOut.isEmpty());
        QCOMPARE(treeBelow(copy), QStringList{QStringLiteral("app.log")});
        QCOMPARE(readFile(copy + QStringLiteral("/app.log")), QByteArray("fresh\n"));
        QCOMPARE(treeBelow(elsewhere), QStringList{QStringLiteral("keep.txt")});
        QCOMPARE(readFile(elsewhere + QStringLiteral("/keep.txt")), QByteArray("somebody's\n"));
    }

    // Cancellation: the wait for the copy keeps the event loop (and so the
    // window) running, and a cancel stops the work within a second.
    void copyWaitIsLiveAndStopsAtOnce()
    {
        bool loopRan = false;
        QTimer::singleShot(50, [&] { loopRan = true; });
        QTimer::singleShot(200, [] { cancellation::request(); });
        QElapsedTimer clock;
        clock.start();
        qint64 stoppedAfterMs = -1;
        const bool cancelled = workaside::run([&](const std::atomic<bool> &stop) {
            while (!stop && clock.elapsed() < 10000)
                QThread::msleep(5);
            stoppedAfterMs = clock.elapsed();
        });
        cancellation::reset();
        QVERIFY(cancelled);
        QVERIFY(loopRan);
        QVERIFY2(stoppedAfterMs < 1200, qPrintable(QString::number(stoppedAfterMs)));
    }

    // A cancelled copy stops before the next entry and says so; a run
    // cancelled before the copy begins copies nothing.
    void cancelledCopyStops()
    {
        const ZipInstall install;
        const QString source = install.filePath(QStringLiteral("source"));
        writeTree(source, {{QStringLiteral("a.log"), "a\n"}, {QStringLiteral("b.log"), "b\n"}});
        const std::atomic<bool> stop{true};
        const logtreecopy::Outcome outcome =
            logtreecopy::copyListed(source, logtreecopy::listVisible(source), install.filePath(QStringLiteral("copy")), &stop);
        QVERIFY(outcome.made && outcome.cancelled);
        QCOMPARE(treeBelow(install.filePath(QStringLiteral("copy"))), QStringList());

        cancellation::request();
        const logtreecopy::Outcome late = displaysystemrelatedinfo::instance()->copyLogFolder(
            source, install.filePath(QStringLiteral("late")));
        cancellation::reset();
        QVERIFY(late.cancelled && !late.made);
        QVERIFY(!QFileInfo::exists(install.filePath(QStringLiteral("late"))));
        QCOMPARE(copyRecords(), QStringList{QStringLiteral("W550 Copy stopped, the run was cancelled")});
    }

    // A sparse log of 1 GB holding 12 bytes: copied at once, byte for byte,
    // holes kept, so the copy takes no more disk than the original.
    void sparseFileStaysSparse()
    {
        const InstallFolder install;
        const QString source = install.filePath(QStringLiteral("Saved"));
        const QString copy = install.filePath(QStringLiteral("copy"));
        QVERIFY(QDir().mkpath(source));
        const QString sparse = source + QStringLiteral("/sparse.log");
        constexpr off_t kSize = off_t(1) << 30;
        {
            const int file = ::open(QFile::encodeName(sparse).constData(), O_WRONLY | O_CREAT, 0644);
            QVERIFY(file >= 0);
            QCOMPARE(::pwrite(file, "head", 4, 0), ssize_t(4));
            QCOMPARE(::pwrite(file, "midl", 4, kSize / 2 + 5), ssize_t(4));
            QCOMPARE(::pwrite(file, "tail", 4, kSize - 4), ssize_t(4));
            ::close(file);
        }
        if (blocksOf(sparse) * 512 > 16 * 1024 * 1024)
            QSKIP("this file system keeps no holes");

        QElapsedTimer clock;
        clock.start();
        const logtreecopy::Outcome outcome = logtreecopy::copyListed(source, logtreecopy::listVisible(source), copy);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(outcome.made && outcome.complete && outcome.leftOut.isEmpty());
        const QString copied = copy + QStringLiteral("/sparse.log");
        QCOMPARE(QFileInfo(copied).size(), qint64(kSize));
        QVERIFY2(blocksOf(copied) <= blocksOf(sparse), qPrintable(QStringLiteral("%1 blocks for %2").arg(blocksOf(copied)).arg(blocksOf(sparse))));
        QFile file(copied);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(8), QByteArray("head\0\0\0\0", 8));
        QVERIFY(file.seek(kSize / 2));
        QCOMPARE(file.read(12), QByteArray("\0\0\0\0\0midl\0\0\0", 12));
        QVERIFY(file.seek(kSize - 8));
        QCOMPARE(file.read(8), QByteArray("\0\0\0\0tail", 8));
    }
};

QTEST_GUILESS_MAIN(LogCopyTest)
#include "tst_logcopy.moc"
