// Hostile folders: the log folders holding links, loops, pipes and trees
// deeper than a path may be long, entries that vanish or change while they
// are copied, a read-only installation folder and a report folder replaced
// by a file. Every case: the action ends in time, the buttons come back,
// nothing outside the installation and per-user folders is touched, and
// nothing claims what did not happen. The installation folder's path has
// blanks and letters beyond ASCII throughout.

#include "archive/logtreecopy.h"
#include "archivesupport.h"
#include "environmentvalue.h"
#include "filesizelimit.h"
#include "findings/findingsfile.h"
#include "hostilefolders.h"
#include "localhttpserver.h"
#include "networksettings.h"
#include "programstart.h"
#include "sandbox.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <sys/stat.h>

#include <memory>
#include <optional>

#include <unistd.h>

using namespace testsupport;

namespace {

const QString kInstallName = QStringLiteral("Tessaly Render Ü/Программы ñ");
const int kBoundMs = 20000;
// A copy that opened a pipe would wait for a writer; the pipe's watch gives
// it one after kPipeGraceMs, so a run longer than kNoWaitMs has waited.
const int kPipeGraceMs = 8000;
const int kNoWaitMs = 6000;
const QString kPacked = QStringLiteral(
    "All the logs have been packed and zipped into \"zziplog.zip\" under your Tessaly render installation folder");

using Slot = void (MainWindow::*)();

// The two folders the collection packs, with their copies and their
// places in the archive.
struct LogSource
{
    QString folder;
    QString copy;
    QString inArchive;
};

LogSource logSource(const Sandbox &sandbox, bool perUser)
{
    if (perUser) {
        return {sandbox.userFolder() + QStringLiteral("/Saved"), sandbox.userFolder() + QStringLiteral("/logs_AppData_Local"),
                QStringLiteral("logs_AppData_Local/")};
    }
    return {sandbox.installFolder() + QStringLiteral("/logs"), sandbox.installFolder() + QStringLiteral("/logs_quillon"),
            QStringLiteral("logs_quillon/")};
}

QStringList paneLines(const MainWindow &window) { return paneText(window).split(QLatin1Char('\n')); }

// Points the timed requests at a port nobody listens on, so the network
// action contacts nothing beyond this machine and fails fast.
QByteArray localOnlySettings()
{
    const QString closed = QStringLiteral("127.0.0.1:%1").arg(LocalHttpServer::closedPort());
    return "[AgreeLicense]\nagreed=1\n" + serverHostsGroup({closed, closed, closed, closed, closed, closed}, 2);
}

void addActionRows()
{
    QTest::addColumn<Slot>("slot");
    QTest::newRow("hardware") << Slot(&MainWindow::CheckHardware);
    QTest::newRow("software") << Slot(&MainWindow::CheckSoftwareConfliction);
    QTest::newRow("network") << Slot(&MainWindow::GetNetInfo);
    QTest::newRow("zip") << Slot(&MainWindow::zipLogs);
    QTest::newRow("automatic check") << Slot(&MainWindow::GetSystemInfo);
    QTest::newRow("check all and zip") << Slot(&MainWindow::gatherAndZipAtOnce);
}

} // namespace

Q_DECLARE_METATYPE(Slot)

// Runs one action on the window and checks what every case of this file
// owes: the action ends in time, the buttons come back, and nothing outside
// the tool's folders changed.
void runCleanly(MainWindow &window, Slot slot, const Sandbox &sandbox, qint64 *elapsedMs = nullptr)
{
    const BoundedRun run = runBounded(window, slot, kBoundMs);
    if (elapsedMs)
        *elapsedMs = run.elapsedMs;
    QVERIFY(!run.cutShort);
    QVERIFY(idle(window));
    QCOMPARE(sandbox.strayChanges().join(QLatin1Char('\n')), QString());
}

// "Collect logs and Zip" on a new window, run cleanly, saying it packed the
// logs; or, when leftOut is given, saying that many could not be packed.
void zipCleanly(const Sandbox &sandbox, qint64 *elapsedMs = nullptr, int leftOut = 0)
{
    MainWindow window;
    runCleanly(window, &MainWindow::zipLogs, sandbox, elapsedMs);
    if (QTest::currentTestFailed())
        return;
    const QString closing = leftOut == 0 ? kPacked
        : QStringLiteral("%1 could not be packed; the others are in \"zziplog.zip\" under your Tessaly render "
                         "installation folder.")
              .arg(leftOut == 1 ? QStringLiteral("1 file or folder") : QStringLiteral("%1 files or folders").arg(leftOut));
    QVERIFY2(paneLines(window).filter(closing).size() == 1, qPrintable(paneText(window)));
}

class FaultFoldersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initWindowTests();
        if (systemSevenZip().isEmpty())
            QSKIP("no 7-Zip on this system");
    }

    // Links, a loop and a pipe in either log folder, and a left-over copy
    // that is a link: the whole zip action with the real archiver. Nothing
    // a link points to is packed, changed or deleted; the plain logs are
    // packed under their own names.
    void hostileEntriesInLogFolders_data()
    {
        QTest::addColumn<bool>("perUser");
        QTest::addColumn<QString>("shape");
        for (const bool perUser : {false, true}) {
            const char *const where = perUser ? "per-user: " : "installation: ";
            for (const char *shape : {"file link outside", "folder link outside", "links inside", "link loop",
                                      "dangling link", "pipe", "left-over copy is a link"}) {
                QTest::newRow(qPrintable(QString::fromLatin1(where) + QLatin1String(shape)))
                    << perUser << QString::fromLatin1(shape);
            }
        }
    }

    void hostileEntriesInLogFolders()
    {
        QFETCH(bool, perUser);
        QFETCH(QString, shape);
        const NoDesktop noDesktop;
        Sandbox sandbox(kInstallName);
        const LogSource logs = logSource(sandbox, perUser);
        writeTree(logs.folder, {{QStringLiteral("app.log"), "app\n"},
                                {QStringLiteral("sub/inner.log"), "inner\n"},
                                {QStringLiteral("Absturz Berichte/Sitzung ß 1.log"), "Sitzung\n"}});

        std::unique_ptr<PipeWatch> pipeWatch;
        const QString outsideFile = sandbox.bystander() + QStringLiteral("/notes.txt");
        if (shape == QLatin1String("file link outside")) {
            QVERIFY(QFile::link(outsideFile, logs.folder + QStringLiteral("/outside.log")));
        } else if (shape == QLatin1String("folder link outside")) {
            QVERIFY(QFile::link(sandbox.bystander(), logs.folder + QStringLiteral("/outside")));
        } else if (shape == QLatin1String("links inside")) {
            QVERIFY(QFile::link(logs.folder + QStringLiteral("/app.log"), logs.folder + QStringLiteral("/latest.log")));
            QVERIFY(QFile::link(QStringLiteral("sub"), logs.folder + QStringLiteral("/current")));
        } else if (shape == QLatin1String("link loop")) {
            QVERIFY(QFile::link(QStringLiteral(".."), logs.folder + QStringLiteral("/sub/loop")));
            QVERIFY(QFile::link(QStringLiteral("b.log"), logs.folder + QStringLiteral("/a.log")));
            QVERIFY(QFile::link(QStringLiteral("a.log"), logs.folder + QStringLiteral("/b.log")));
        } else if (shape == QLatin1String("dangling link")) {
            QVERIFY(QFile::link(logs.folder + QStringLiteral("/rotated-away.log"), logs.folder + QStringLiteral("/gone.log")));
        } else if (shape == QLatin1String("pipe")) {
            const QString pipe = logs.folder + QStringLiteral("/pipe.log");
            QVERIFY(makePipe(pipe));
            pipeWatch = std::make_unique<PipeWatch>(pipe, kPipeGraceMs);
        } else {
            QVERIFY(QFile::link(sandbox.bystander(), logs.copy));
        }
        sandbox.snapshot();

        qint64 elapsedMs = 0;
        zipCleanly(sandbox, &elapsedMs);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(elapsedMs < kNoWaitMs, "the copy waited on something");

        const QStringList entries = archiveEntries(sandbox.installFolder() + QStringLiteral("/zziplog.zip"));
        QVERIFY2(entries.contains(logs.inArchive + QStringLiteral("app.log")), qPrintable(entries.join(' ')));
        QVERIFY2(entries.contains(logs.inArchive + QStringLiteral("sub/inner.log")), qPrintable(entries.join(' ')));
        QVERIFY2(entries.contains(logs.inArchive + QStringLiteral("Absturz Berichte/Sitzung ß 1.log")),
                 qPrintable(entries.join(' ')));
        const QStringList zipReports = reportFiles(QStringLiteral("SupportLog_zip_"));
        QCOMPARE(zipReports.size(), 1);
        QVERIFY(entries.contains(QStringLiteral("logs_quillon/SupportTool/") + QFileInfo(zipReports.first()).fileName()));
        for (const QString &entry : entries) {
            for (const char *foreign : {"notes.txt", "keep.log", "outside", "latest", "current", "loop", "a.log",
                                        "b.log", "gone", "pipe"})
                QVERIFY2(!entry.contains(QLatin1String(foreign)), qPrintable(entry));
        }
        QVERIFY(!QFileInfo::exists(logs.copy) && !QFileInfo(logs.copy).isSymLink());
    }

    // The list file or the archive found as a link to somebody else's file:
    // the link goes, and neither is written through it nor made from it.
    void scratchNamesThatAreLinks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        QTest::newRow("list file") << "logsLocations.txt" << "notes.txt";
        QTest::newRow("archive") << "zziplog.zip" << "other.zip";
    }

    void scratchNamesThatAreLinks()
    {
        QFETCH(QString, name);
        QFETCH(QString, target);
        const NoDesktop noDesktop;
        Sandbox sandbox(kInstallName);
        writeTree(sandbox.installFolder(), {{QStringLiteral("logs/app.log"), "app\n"}});
        QDir::setCurrent(sandbox.bystander());
        QVERIFY(makeArchive(QStringLiteral("other.zip"), {QStringLiteral("notes.txt")}));
        QDir::setCurrent(sandbox.installFolder());
        QVERIFY(QFile::link(sandbox.bystander() + QLatin1Char('/') + target, name));
        sandbox.snapshot();

        zipCleanly(sandbox);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!QFileInfo(QStringLiteral("zziplog.zip")).isSymLink());
        const QStringList entries = archiveEntries(QStringLiteral("zziplog.zip"));
        QVERIFY2(entries.contains(QStringLiteral("logs_quillon/app.log")), qPrintable(entries.join(' ')));
        QVERIFY2(!entries.contains(QStringLiteral("notes.txt")), qPrintable(entries.join(' ')));
    }

    // The findings file found as a link to somebody else's file: the link
    // goes, and the findings are written in its place, not through it.
    void findingsFileThatIsALink()
    {
        const FixturePath fixtures;
        fixtures.addSilentShells();
        const NoDesktop noDesktop;
        Sandbox sandbox(kInstallName);
        sandbox.writeFile(kInstallName + QStringLiteral("/SupportToolConfig.ini"), localOnlySettings());
        sandbox.writeFile(QStringLiteral("bystander/notes.txt"), "somebody's notes\n");
        const QString name = QStringLiteral("logs/SupportTool/findings.txt");
        QVERIFY(QFile::link(sandbox.bystander() + QStringLiteral("/notes.txt"), name));
        sandbox.snapshot();

        MainWindow window;
        runCleanly(window, &MainWindow::GetSystemInfo, sandbox);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!QFileInfo(name).isSymLink());
        QVERIFY(readFile(name).startsWith("Tessaly Render Support Tool findings: "));
    }

    // A findings file that cannot be written whole is said, and leaves no
    // half file for the archive to carry: cut short (a full disk) it is
    // removed; a folder under its name stays as it was.
    void findingsFileThatCannotBeWritten_data()
    {
        QTest::addColumn<bool>("cutShort"); // else a folder under the name
        QTest::newRow("cut short") << true;
        QTest::newRow("a folder under its name") << false;
    }
    void findingsFileThatCannotBeWritten()
    {
        QFETCH(bool, cutShort);
        const InstallFolder folder;
        if (!cutShort)
            QVERIFY(QDir().mkpath(findingsfile::path() + QStringLiteral("/kept")));
        std::optional<FileSizeLimit> limit;
        if (cutShort)
            limit.emplace(4096);
        QString problem;
        const bool written = findingsfile::write(QString(64 * 1024, QLatin1Char('x')), &problem);
        limit.reset();
        QVERIFY(!written && !problem.isEmpty());
        QCOMPARE(QFileInfo::exists(findingsfile::path()), !cutShort);
        QCOMPARE(QFileInfo::exists(findingsfile::path() + QStringLiteral("/kept")), !cutShort);
    }

    // A pipe under one of the tool's scratch names would make whoever opens
    // it wait for the other end: it is cleared away and the action goes on.
    void scratchNamesThatArePipes_data()
    {
        QTest::addColumn<Slot>("slot");
        QTest::addColumn<QString>("name");
        QTest::newRow("list file") << Slot(&MainWindow::zipLogs) << "logsLocations.txt";
        QTest::newRow("archive") << Slot(&MainWindow::zipLogs) << "zziplog.zip";
        QTest::newRow("address list") << Slot(&MainWindow::GetNetInfo) << "ipconfig.txt";
        QTest::newRow("download list") << Slot(&MainWindow::GetNetInfo) << "downloadConfig.txt";
        QTest::newRow("ping results") << Slot(&MainWindow::GetNetInfo) << "logs/SupportTool/pingResult.txt";
        QTest::newRow("route results") << Slot(&MainWindow::GetNetInfo) << "logs/SupportTool/tracertResult.txt";
        QTest::newRow("findings file") << Slot(&MainWindow::GetSystemInfo) << "logs/SupportTool/findings.txt";
    }

    void scratchNamesThatArePipes()
    {
        QFETCH(Slot, slot);
        QFETCH(QString, name);
        const FixturePath fixtures;
        fixtures.addSilentShells();
        fixtures.addScript(QStringLiteral("cmd"), "for a in \"$@\"; do :; done; echo pong >> logs/SupportTool/pingResult.txt; "
                                                  "echo hop >> logs/SupportTool/tracertResult.txt");
        const NoDesktop noDesktop;
        Sandbox sandbox(kInstallName);
        sandbox.writeFile(kInstallName + QStringLiteral("/SupportToolConfig.ini"),
                          localOnlySettings() + addressGroup({QStringLiteral("127.0.0.1")}));
        writeTree(sandbox.installFolder(), {{QStringLiteral("logs/app.log"), "app\n"}});
        QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        sandbox.snapshot();

        MainWindow window;
        runCleanly(window, slot, sandbox);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(!QFileInfo::exists(name) || QFileInfo(name).isFile(), "the pipe is still there");
        if (slot == Slot(&MainWindow::zipLogs)) {
            QVERIFY(paneLines(window).contains(kPacked));
            QVERIFY(archiveEntries(QStringLiteral("zziplog.zip")).contains(QStringLiteral("logs_quillon/app.log")));
        } else {
            const QStringList reports = reportFiles(QStringLiteral("SupportLog_network_speedTest_"));
            QCOMPARE(reports.size(), 1);
            QVERIFY(readFile(reports.first()).contains("pong"));
        }
    }

    // A tree 200 folders deep, its whole path far beyond what the system
    // takes: what can be copied is packed, the copy goes again, and the
    // action does not fall over the depth.
    void deepNesting_data()
    {
        QTest::addColumn<bool>("perUser");
        QTest::newRow("installation") << false;
        QTest::newRow("per-user") << true;
    }

    void deepNesting()
    {
        QFETCH(bool, perUser);
        const NoDesktop noDesktop;
        Sandbox sandbox(kInstallName);
        const LogSource logs = logSource(sandbox, perUser);
        writeTree(logs.folder, {{QStringLiteral("app.log"), "app\n"}});
        const QString level = QStringLiteral("nested-folder-of-a-crash-dump-level");
        QVERIFY(makeDeepTree(logs.folder, level, 200));
        struct Cleanup
        {
            QString path;
            ~Cleanup() { removeDeepTree(path); }
        } cleanup{logs.folder + QLatin1Char('/') + level};
        sandbox.snapshot();

        // The folder too deep to be copied is left out, with all it holds.
        zipCleanly(sandbox, nullptr, 1);
        if (QTest::currentTestFailed())
            return;
        const QStringList entries = archiveEntries(sandbox.installFolder() + QStringLiteral("/zziplog.zip"));
        QString tenDeep = logs.inArchive;
        for (int depth = 0; depth < 10; ++depth)
            tenDeep += level + QLatin1Char('/');
        QVERIFY2(entries.contains(tenDeep + QStringLiteral("level-10.log")), qPrintable(entries.join('\n').left(2000)));
        QVERIFY(!QFileInfo::exists(logs.copy));
    }

    // Between the listing and the copy, an entry goes or turns into
    // something else: it is left out, nothing is followed outside, and the
    // copy never waits.
    void entriesChangingDuringTheCopy_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected"); // what the copy then holds
        const QString all = QStringLiteral("SupportTool/ app.log sub/ sub/deeper/ sub/deeper/x.log sub/inner.log victim.log");
        const auto without = [&](const QStringList &gone) {
            QStringList left = all.split(QLatin1Char(' '));
            for (const QString &entry : gone)
                left.removeAll(entry);
            return left;
        };
        QTest::newRow("file deleted") << "file deleted" << without({QStringLiteral("victim.log")});
        QTest::newRow("folder deleted") << "folder deleted"
                                        << without({QStringLiteral("sub/"), QStringLiteral("sub/deeper/"),
                                                    QStringLiteral("sub/deeper/x.log"), QStringLiteral("sub/inner.log")});
        QTest::newRow("file became a link to somebody else's file")
            << "file became a link" << without({QStringLiteral("victim.log")});
        QTest::newRow("folder became a link to somebody else's folder")
            << "folder became a link"
            << without({QStringLiteral("sub/"), QStringLiteral("sub/deeper/"), QStringLiteral("sub/deeper/x.log"),
                        QStringLiteral("sub/inner.log")});
        QTest::newRow("file became a pipe") << "file became a pipe" << without({QStringLiteral("victim.log")});
        QTest::newRow("file became unreadable") << "file became unreadable" << without({QStringLiteral("victim.log")});
    }

    void entriesChangingDuringTheCopy()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        if (change == QLatin1String("file became unreadable") && ::geteuid() == 0)
            QSKIP("running as root: permissions do not keep root from reading");
        Sandbox sandbox(kInstallName);
        const QString source = sandbox.installFolder() + QStringLiteral("/logs");
        const QString target = sandbox.installFolder() + QStringLiteral("/logs_quillon");
        writeTree(source, {{QStringLiteral("app.log"), "app\n"},
                           {QStringLiteral("victim.log"), "victim\n"},
                           {QStringLiteral("sub/inner.log"), "inner\n"},
                           {QStringLiteral("sub/deeper/x.log"), "x\n"}});
        // The bystander holds files by the names the copy looks for.
        sandbox.writeFile(QStringLiteral("bystander/inner.log"), "not a log of ours\n");
        sandbox.writeFile(QStringLiteral("bystander/deeper/x.log"), "not a log of ours\n");

        const QVector<logtreecopy::Entry> listed = logtreecopy::listVisible(source);
        std::unique_ptr<PipeWatch> pipeWatch;
        const QString victim = source + QStringLiteral("/victim.log");
        const QString sub = source + QStringLiteral("/sub");
        if (change == QLatin1String("file deleted")) {
            QVERIFY(QFile::remove(victim));
        } else if (change == QLatin1String("folder deleted")) {
            QVERIFY(QDir(sub).removeRecursively());
        } else if (change == QLatin1String("file became a link")) {
            QVERIFY(QFile::remove(victim));
            QVERIFY(QFile::link(sandbox.bystander() + QStringLiteral("/notes.txt"), victim));
        } else if (change == QLatin1String("folder became a link")) {
            QVERIFY(QDir(sub).removeRecursively());
            QVERIFY(QFile::link(sandbox.bystander(), sub));
        } else if (change == QLatin1String("file became a pipe")) {
            QVERIFY(QFile::remove(victim));
            QVERIFY(makePipe(victim));
            pipeWatch = std::make_unique<PipeWatch>(victim, kPipeGraceMs);
        } else {
            QVERIFY(QFile::setPermissions(victim, QFileDevice::Permissions()));
        }
        sandbox.snapshot();

        QElapsedTimer clock;
        clock.start();
        logtreecopy::copyListed(source, listed, target);
        QVERIFY2(clock.elapsed() < kNoWaitMs, "the copy waited on something");
        QCOMPARE(treeBelow(target).join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
        QCOMPARE(readFile(target + QStringLiteral("/app.log")), QByteArray("app\n"));
        QCOMPARE(sandbox.strayChanges().join(QLatin1Char('\n')), QString());
    }

    // A left-over copy holding a link where a copied folder goes: the copy
    // does not write through it into somebody else's folder.
    void leftOverCopyHoldingALink()
    {
        Sandbox sandbox(kInstallName);
        const QString source = sandbox.installFolder() + QStringLiteral("/logs");
        const QString target = sandbox.installFolder() + QStringLiteral("/logs_quillon");
        writeTree(source, {{QStringLiteral("sub/notes.txt"), "ours\n"}});
        QDir().mkpath(target);
        QVERIFY(QFile::link(sandbox.bystander(), target + QStringLiteral("/sub")));
        sandbox.snapshot();

        logtreecopy::copyListed(source, logtreecopy::listVisible(source), target);
        QCOMPARE(sandbox.strayChanges().join(QLatin1Char('\n')), QString());
        QVERIFY(!QFileInfo(target + QStringLiteral("/sub")).isSymLink());
        QCOMPARE(readFile(target + QStringLiteral("/sub/notes.txt")), QByteArray("ours\n"));
    }

    // An installation folder nobody may write to: each action still ends,
    // the buttons come back, no report appears, and the archive is not
    // reported as made.
    void readOnlyInstallation_data() { addActionRows(); }

    void readOnlyInstallation()
    {
        QFETCH(Slot, slot);
        const FixturePath fixtures; // before the sandbox: fixtures are not the tool's writes
        fixtures.addSilentShells();
        const NoDesktop noDesktop;
        Sandbox sandbox(kInstallName);
        sandbox.writeFile(kInstallName + QStringLiteral("/SupportToolConfig.ini"), localOnlySettings());
        writeTree(sandbox.installFolder(), {{QStringLiteral("logs/app.log"), "app\n"}});
        writeTree(sandbox.userFolder(), {{QStringLiteral("Saved/render.log"), "render\n"}});
        const QString install = sandbox.installFolder();
        const ReadOnlyFolders readOnly({install, install + QStringLiteral("/logs"), install + QStringLiteral("/logs/SupportTool")});
        if (!readOnly.problem().isEmpty())
            QSKIP(qPrintable(readOnly.problem()));
        const QStringList before = treeBelow(install);
        sandbox.snapshot();

        MainWindow window;
        runCleanly(window, slot, sandbox);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(treeBelow(install), before);
        QVERIFY(!paneLines(window).contains(kPacked));
        QVERIFY(!QFileInfo::exists(sandbox.userFolder() + QStringLiteral("/logs_AppData_Local")));
    }

    // A per-user folder nobody may write to: its copy cannot be made, so the
    // archive is made of the installation's logs alone, without naming a
    // copy that is not there, and the report does not claim a copy.
    void readOnlyPerUserFolder()
    {
        const NoDesktop noDesktop;
        Sandbox sandbox(kInstallName);
        writeTree(sandbox.installFolder(), {{QStringLiteral("logs/app.log"), "app\n"}});
        writeTree(sandbox.userFolder(), {{QStringLiteral("Saved/render.log"), "render\n"}});
        const ReadOnlyFolders readOnly({sandbox.userFolder()});
        if (!readOnly.problem().isEmpty())
            QSKIP(qPrintable(readOnly.problem()));
        const QStringList before = treeBelow(sandbox.userFolder());
        sandbox.snapshot();

        // The per-user logs are not in the archive, and the pane says so.
        zipCleanly(sandbox, nullptr, 1);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(treeBelow(sandbox.userFolder()), before);
        const QStringList entries = archiveEntries(sandbox.installFolder() + QStringLiteral("/zziplog.zip"));
        QVERIFY2(entries.contains(QStringLiteral("logs_quillon/app.log")), qPrintable(entries.join(' ')));

        QStringList texts;
        for (const Record &record : recordsOf(reportFiles(QStringLiteral("SupportLog_zip_")).value(0)))
            texts << QStringLiteral("%1%2 %3").arg(record.level).arg(record.line).arg(record.text);
        const QString perUserCopy = sandbox.userFolder() + QStringLiteral("/logs_AppData_Local");
        QCOMPARE(texts.filter(QStringLiteral("550 ")),
                 QStringList({QStringLiteral("I550 Copy Successfully"),
                              QStringLiteral("W550 Copy failed, the folder ") + perUserCopy
                                  + QStringLiteral(" cannot be created")}));
        QVERIFY2(texts.contains(QStringLiteral("I620 Zip finished, saved into zziplog.zip in your installation folder")),
                 qPrintable(texts.join('\n')));
        QVERIFY2(texts.filter(QStringLiteral("W621")).isEmpty(), qPrintable(texts.join('\n')));
    }

    // The report folder replaced by a file after start-up: the actions end,
    // write nothing into or over it, and say nothing untrue about the archive.
    void reportFolderIsAFile_data() { addActionRows(); }

    void reportFolderIsAFile()
    {
        QFETCH(Slot, slot);
        const FixturePath fixtures;
        fixtures.addSilentShells();
        const NoDesktop noDesktop;
        Sandbox sandbox(kInstallName);
        sandbox.writeFile(kInstallName + QStringLiteral("/SupportToolConfig.ini"), localOnlySettings());
        const QString install = sandbox.installFolder();
        QVERIFY(QDir(install + QStringLiteral("/logs/SupportTool")).removeRecursively());
        writeTree(install, {{QStringLiteral("logs/SupportTool"), "a file, not a folder\n"},
                            {QStringLiteral("logs/app.log"), "app\n"}});
        sandbox.snapshot();

        MainWindow window;
        runCleanly(window, slot, sandbox);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(treeBelow(install + QStringLiteral("/logs")), QStringList({QStringLiteral("SupportTool"), QStringLiteral("app.log")}));
        QCOMPARE(readFile(install + QStringLiteral("/logs/SupportTool")), QByteArray("a file, not a folder\n"));
        if (paneLines(window).contains(kPacked)) {
            const QStringList entries = archiveEntries(install + QStringLiteral("/zziplog.zip"));
            QVERIFY2(entries.contains(QStringLiteral("logs_quillon/app.log")), qPrintable(entries.join(' ')));
        }
    }

    // Started from its own folder, whose path has blanks and letters beyond
    // ASCII: the report folder is made there and nowhere else. Started where
    // no report folder can be had, the program says so and ends instead of
    // running checks whose reports would be lost, writing nothing.
    void startInHostileInstallation_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("made"); // what start-up adds to the installation folder
        QTest::newRow("blanks and letters beyond ASCII") << "plain" << 0
                                                         << QStringList({QStringLiteral("logs/"), QStringLiteral("logs/SupportTool/")});
        QTest::newRow("read-only installation folder") << "read-only" << 1 << QStringList();
        QTest::newRow("report folder is a file") << "file" << 1 << QStringList();
    }

    void startInHostileInstallation()
    {
        QFETCH(QString, shape);
        QFETCH(int, exitCode);
        QFETCH(QStringList, made);
        Sandbox sandbox(kInstallName);
        const QString install = sandbox.installFolder();
        const QString program = installProgram(install);
        QVERIFY(!program.isEmpty());
        writeAgreement(install, QStringLiteral("1"));
        QVERIFY(QDir(install + QStringLiteral("/logs")).removeRecursively());
        std::unique_ptr<ReadOnlyFolders> readOnly;
        if (shape == QLatin1String("read-only")) {
            readOnly = std::make_unique<ReadOnlyFolders>(QStringList(install));
            if (!readOnly->problem().isEmpty())
                QSKIP(qPrintable(readOnly->problem()));
        } else if (shape == QLatin1String("file")) {
            writeTree(install, {{QStringLiteral("logs/SupportTool"), "a file\n"}});
        }
        QStringList expected = treeBelow(install) + made;
        expected.sort();
        sandbox.snapshot();

        const ProgramRun run = startProgram(program, program, {}, sandbox.root());
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode != 0)
            QVERIFY2(run.errors.contains("cannot be created"), run.errors.constData());
        QCOMPARE(treeBelow(install).join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
        QCOMPARE(sandbox.strayChanges().join(QLatin1Char('\n')), QString());
    }
};

QTEST_MAIN(FaultFoldersTest)
#include "tst_fault_folders.moc"
