// Log collection: which folders are copied and how, the list file the
// archiver reads, the records of a run, the archive it leaves, and what
// happens when the archiver is missing or fails.

#include "archive/archiver.h"
#include "archive/logfolders.h"
#include "archive/packing.h"
#include "archivesupport.h"
#include "inspection/displaysystemrelatedinfo.h"
#include "inspection/windowscommands.h"
#include "records/records.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace testsupport;

namespace {

const QString kZipFinished = QStringLiteral("Zip finished, saved into zziplog.zip in your installation folder");
const QString kFailurePrefix = QStringLiteral("Zip failed, zziplog.zip does not hold the logs of this run: ");

// Records of the inspection object, one text each: level, line, message.
QStringList summary(const QList<Record> &all)
{
    QStringList lines;
    for (const Record &record : all) {
        if (record.file == QLatin1String(records::kInspection))
            lines << QStringLiteral("%1%2 %3").arg(record.level).arg(record.line).arg(record.text);
    }
    return lines;
}

// Sends the records of one test to a report of their own, outside the
// installation folder (whose "logs" some tests remove).
class OwnReport
{
public:
    OwnReport() { records::switchReport(m_dir.path() + QStringLiteral("/zip_")); }
    ~OwnReport() { forgetReport(); }
    QStringList records() const
    {
        const QStringList names = QDir(m_dir.path()).entryList({QStringLiteral("zip_*")}, QDir::Files, QDir::Name);
        return names.isEmpty() ? QStringList() : summary(recordsOf(QDir(m_dir.path()).filePath(names.first())));
    }

private:
    QTemporaryDir m_dir;
};

const QString kBundledArchiver = QStringLiteral("quillon/Content/7z.exe");

// The archiver the host application ships, replaced by the fixture program.
void addBundledArchiver(const InstallFolder &install, const FixtureSteps &steps)
{
    QVERIFY(QDir().mkpath(install.filePath(QStringLiteral("quillon/Content"))));
    QVERIFY(placeFixture(install.filePath(kBundledArchiver), steps));
}

// A bundled archiver that notes what it was given and writes an (empty)
// archive where it is told to, as a real one would.
FixtureSteps recordingArchiver()
{
    return FixtureSteps()
        .append(QStringLiteral("logsLocations.txt"), QStringLiteral("captured-list.txt"))
        .logArguments(QStringLiteral("captured-args.txt"))
        .writeToArgument(2, "archive\n");
}

QStringList copyRecords(const QString &source, const QString &destination)
{
    return {QStringLiteral("I528 Copying logs from %1 to %2").arg(source, destination),
            QStringLiteral("I550 Copy Successfully")};
}

QStringList cleanUpRecords(const QString &copy, bool existed)
{
    if (!existed)
        return {QStringLiteral("I560 There is no copied folder : ") + copy};
    return {QStringLiteral("I563 Removing logs in ") + copy, QStringLiteral("I565 Remove Successfully")};
}

} // namespace

class LogCollectionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initLogging();
        QVERIFY2(!systemSevenZip().isEmpty(), "the archive tests need the system's 7-Zip (Debian package 7zip)");
    }

    void appDataFolderOf_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("folder");
        QTest::newRow("windows roaming") << "C:/Users/name/AppData/Roaming/app" << "C:/Users/name/AppData/";
        QTest::newRow("trailing slash") << "C:/Users/name/AppData/Roaming/app/" << "C:/Users/name/AppData/";
        QTest::newRow("blanks and letters") << "C:/Users/Jürgen Ölz/AppData/Roaming/Support Tool"
                                            << "C:/Users/Jürgen Ölz/AppData/";
        QTest::newRow("xdg data home") << "/home/name/.local/share/SupportTool" << "/home/name/.local/";
        QTest::newRow("just below the root") << "/share/app" << "/";
        QTest::newRow("too short") << "Roaming/app" << "";
        QTest::newRow("empty") << "" << "";
    }
    void appDataFolderOf()
    {
        QFETCH(QString, location);
        QFETCH(QString, folder);
        QCOMPARE(logfolders::appDataFolderOf(location), folder);
    }

    static QString fallbackOf(const QString &home) { return home + QStringLiteral("/.local/share"); }

    // Only an absolute XDG_DATA_HOME that is no file and does not put the
    // per-user folder at the root is used; anything else gives the default.
    void dataHome_data()
    {
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("dataHome");
        const QString fallback = QStringLiteral("/home/name/.local/share");
        QTest::newRow("unset") << QString() << fallback;
        QTest::newRow("relative") << "rel/dir" << fallback;
        QTest::newRow("a file") << "/etc/passwd" << fallback;
        QTest::newRow("the root") << "/" << fallback;
        QTest::newRow("just below the root") << "/share" << fallback;
        QTest::newRow("an absolute folder, not yet made") << "/data/name/share/" << "/data/name/share";
    }
    void dataHome()
    {
        QFETCH(QString, xdg);
        QFETCH(QString, dataHome);
        QCOMPARE(logfolders::dataHomeOf(xdg, QStringLiteral("/home/name")), dataHome);
#ifndef Q_OS_WIN // the program's own folder reads XDG_DATA_HOME on Linux alone
        if (xdg.isEmpty() || dataHome != fallbackOf(QStringLiteral("/home/name")))
            return;
        // The program's own folder follows the same rule.
        const UserDataFolder user;
        qputenv("XDG_DATA_HOME", xdg.toUtf8());
        QCOMPARE(logfolders::appDataFolder(), user.appDataFolder());
#endif
    }

    void appDataFolderOfThisUser()
    {
        const UserDataFolder user;
        QCOMPARE(logfolders::appDataFolder(), user.appDataFolder());
        QCOMPARE(logfolders::perUserLogs(logfolders::appDataFolder()), user.perUserLogs());
    }

    // Visible files and folders at every depth are copied; hidden ones are
    // not, nor anything inside a hidden folder. A copy left from an
    // interrupted run is emptied first: only this run's files are packed.
    void copyLogFolderCopiesVisibleTree()
    {
        const InstallFolder install;
        const QString source = install.filePath(QStringLiteral("source"));
        const QString destination = install.filePath(QStringLiteral("copy"));
        writeTree(source, {{QStringLiteral("a.log"), "fresh a"},
                           {QStringLiteral(".hidden.log"), "h"},
                           {QStringLiteral("sub/b.log"), "b"},
                           {QStringLiteral("sub/.c.log"), "c"},
                           {QStringLiteral("sub/deeper/d.log"), "d"},
                           {QStringLiteral(".cache/e.log"), "e"},
                           {QStringLiteral(".cache/visible/f.log"), "f"},
                           {QStringLiteral("empty/"), {}}});
        writeTree(destination, {{QStringLiteral("a.log"), "stale a"}, {QStringLiteral("stale.log"), "stale"}});

        const OwnReport report;
        QVERIFY(displaysystemrelatedinfo::instance()->copyLogFolder(source, destination).made);

        QCOMPARE(treeBelow(destination), (QStringList{QStringLiteral("a.log"), QStringLiteral("empty/"),
                                                      QStringLiteral("sub/"),
                                                      QStringLiteral("sub/b.log"), QStringLiteral("sub/deeper/"),
                                                      QStringLiteral("sub/deeper/d.log")}));
        QCOMPARE(readFile(destination + QStringLiteral("/a.log")), QByteArray("fresh a"));
        QCOMPARE(readFile(destination + QStringLiteral("/sub/deeper/d.log")), QByteArray("d"));
        QCOMPARE(report.records(), copyRecords(source, destination));
    }

    void copyLogFolderWithoutSource()
    {
        const InstallFolder install;
        const QString source = install.filePath(QStringLiteral("missing"));
        const QString destination = install.filePath(QStringLiteral("copy"));
        const OwnReport report;
        QVERIFY(!displaysystemrelatedinfo::instance()->copyLogFolder(source, destination).made);
        QVERIFY(!QFileInfo::exists(destination));
        QCOMPARE(report.records(), QStringList{QStringLiteral("I524 There is no logs in ") + source});
    }

    // The list file names the copies of the sources present, in order, one
    // per line ended by a line feed; the records tell the run in order; the
    // copies and the list are gone afterwards.
    void collectAndZipLogs_data()
    {
        QTest::addColumn<bool>("installationLogs");
        QTest::addColumn<bool>("perUserLogs");
        QTest::newRow("none") << false << false;
        QTest::newRow("installation only") << true << false;
        QTest::newRow("per-user only") << false << true;
        QTest::newRow("both") << true << true;
    }
    void collectAndZipLogs()
    {
        QFETCH(bool, installationLogs);
        QFETCH(bool, perUserLogs);
        const InstallFolder install;
        const UserDataFolder user;
        addBundledArchiver(install, recordingArchiver());
        if (installationLogs)
            install.writeFile(QStringLiteral("logs/host.log"), "host");
        else
            QVERIFY(QDir(install.filePath(QStringLiteral("logs"))).removeRecursively());
        if (perUserLogs)
            writeTree(user.perUserLogs(), {{QStringLiteral("render.log"), "render"}});

        const QString firstSource = QDir::currentPath() + QStringLiteral("/logs");
        const QString firstCopy = QDir::currentPath() + QStringLiteral("/logs_quillon");
        const OwnReport report;
        QString appData;
        packing::Outcome packed;
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appData, packed);
        QCOMPARE(appData, user.appDataFolder());

        QStringList expected{QStringLiteral("I576 Create logsLocation.txt to record all the log paths")};
        expected += installationLogs ? copyRecords(firstSource, firstCopy)
                                     : QStringList{QStringLiteral("I524 There is no logs in ") + firstSource};
        expected += perUserLogs ? copyRecords(user.perUserLogs(), user.perUserCopy())
                                : QStringList{QStringLiteral("I524 There is no logs in ") + user.perUserLogs()};
        QByteArray expectedList;
        if (installationLogs)
            expectedList += firstCopy.toUtf8() + '\n';
        if (perUserLogs)
            expectedList += user.perUserCopy().toUtf8() + '\n';
        const bool logsFound = installationLogs || perUserLogs;
        if (logsFound) {
            expected << QStringLiteral("I611 Logs found, start zipping.........") << QStringLiteral("I620 ") + kZipFinished;
            QCOMPARE(readFile(QStringLiteral("captured-list.txt")), expectedList);
            QCOMPARE(loggedArguments(QStringLiteral("captured-args.txt")),
                     (QList<QStringList>{{QStringLiteral("a"), QStringLiteral("zziplog.unfinished.zip"),
                                          QStringLiteral("@logsLocations.txt")}}));
            QCOMPARE(packed.archive.status, archiver::Result::Status::Succeeded);
            QCOMPARE(readFile(QStringLiteral("zziplog.zip")), QByteArray("archive\n"));
        } else {
            // No archive run: the report says no archive was made.
            QVERIFY(!QFile::exists(QStringLiteral("captured-list.txt")));
            QCOMPARE(packed.archive.status, archiver::Result::Status::Skipped);
            expected << QStringLiteral("W620 ") + kFailurePrefix + QStringLiteral("no logs were found, neither %1 nor %2 exists")
                                                                        .arg(firstSource, user.perUserLogs());
        }
        expected += cleanUpRecords(firstCopy, installationLogs);
        expected += cleanUpRecords(user.perUserCopy(), perUserLogs);
        QCOMPARE(report.records(), expected);

        QVERIFY(!QFileInfo::exists(firstCopy));
        QVERIFY(!QFileInfo::exists(user.perUserCopy()));
        QVERIFY(!QFile::exists(QStringLiteral("logsLocations.txt")));
        QCOMPARE(QFileInfo::exists(QStringLiteral("logs/host.log")), installationLogs);
        QCOMPARE(QFileInfo::exists(user.perUserLogs() + QStringLiteral("/render.log")), perUserLogs);
    }

    // With the system's 7-Zip: the archive holds both copies with their
    // visible content, and none of the hidden entries.
    void archiveHoldsVisibleLogs()
    {
        const InstallFolder install;
        const UserDataFolder user;
        writeTree(install.path(), {{QStringLiteral("logs/app.log"), "app"},
                                   {QStringLiteral("logs/.secret.log"), "secret"},
                                   {QStringLiteral("logs/.cache/x.log"), "x"},
                                   {QStringLiteral("logs/sub/deep.log"), "deep"}});
        writeTree(user.perUserLogs(), {{QStringLiteral("render.log"), "render"}, {QStringLiteral(".hidden/y.log"), "y"}});

        QString appData;
        packing::Outcome packed;
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appData, packed);
        QVERIFY(packed.complete());
        QCOMPARE(archiveEntries(QStringLiteral("zziplog.zip")),
                 (QStringList{QStringLiteral("logs_AppData_Local"), QStringLiteral("logs_AppData_Local/render.log"),
                              QStringLiteral("logs_quillon"), QStringLiteral("logs_quillon/SupportTool"),
                              QStringLiteral("logs_quillon/app.log"), QStringLiteral("logs_quillon/sub"),
                              QStringLiteral("logs_quillon/sub/deep.log")}));
    }

    // Whatever older runs, older versions or anybody else left under the
    // scratch names never reaches the archive: a list with a longer line
    // naming a folder outside, an archive holding a log deleted since, the
    // temporary files of a stopped 7-Zip. The archive holds this run's
    // folders and nothing else, and the leftovers are gone.
    void leftoversDoNotReachTheArchive()
    {
        const InstallFolder install;
        const UserDataFolder user;
        install.writeFile(QStringLiteral("outside/secret.txt"), "not a log");
        const QByteArray outside = install.filePath(QStringLiteral("outside")).toUtf8();
        install.writeFile(QStringLiteral("logsLocations.txt"), QByteArray(200, 'x') + "\n" + outside + "\n");
        install.writeFile(QStringLiteral("logs_quillon/gone.log"), "deleted since");
        QVERIFY(makeArchive(QStringLiteral("zziplog.zip"), {QStringLiteral("logs_quillon")}));
        QVERIFY(QDir(install.filePath(QStringLiteral("logs_quillon"))).removeRecursively());
        for (const QString &leftover : {QStringLiteral("zziplog.zip.tmp"), QStringLiteral("zziplog.unfinished.zip"),
                                        QStringLiteral("zziplog.unfinished.zip.tmp")})
            install.writeFile(leftover, "cut off");
        install.writeFile(QStringLiteral("logs/app.log"), "app");

        QString appData;
        packing::Outcome packed;
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appData, packed);
        QVERIFY(packed.complete());
        QCOMPARE(archiveEntries(QStringLiteral("zziplog.zip")),
                 (QStringList{QStringLiteral("logs_quillon"), QStringLiteral("logs_quillon/SupportTool"),
                              QStringLiteral("logs_quillon/app.log")}));
        QCOMPARE(folderEntries(install.path()).filter(QStringLiteral("zziplog")), QStringList{QStringLiteral("zziplog.zip")});
        QCOMPARE(readFile(QStringLiteral("outside/secret.txt")), QByteArray("not a log"));
    }

#ifndef Q_OS_WIN // symbolic links, and PowerShell's Remove-Item, which Wine's stub does not carry out
    // The leftover folder of older versions goes without anything a link
    // leads to: a link in its place goes as the link, a link inside it too.
    void leftoverFolderLinksAreNotFollowed_data()
    {
        QTest::addColumn<bool>("folderIsLink");
        QTest::newRow("logsSummon is a link") << true;
        QTest::newRow("logsSummon holds a link") << false;
    }
    void leftoverFolderLinksAreNotFollowed()
    {
        QFETCH(bool, folderIsLink);
        appendStandInsToPath();
        const InstallFolder install;
        const UserDataFolder user;
        addBundledArchiver(install, recordingArchiver());
        install.writeFile(QStringLiteral("logs/app.log"), "app");
        install.writeFile(QStringLiteral("logsSummon.zip"), "old archive");
        const QTemporaryDir outside;
        writeTree(outside.path(), {{QStringLiteral("keep.txt"), "somebody else's"}, {QStringLiteral("sub/keep.txt"), "too"}});
        if (folderIsLink) {
            QVERIFY(QFile::link(outside.path(), install.filePath(QStringLiteral("logsSummon"))));
        } else {
            install.writeFile(QStringLiteral("logsSummon/old.log"), "old");
            QVERIFY(QFile::link(outside.path(), install.filePath(QStringLiteral("logsSummon/inside"))));
        }

        QString appData;
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appData);
        QVERIFY(!QFileInfo(QStringLiteral("logsSummon")).exists() && !QFileInfo(QStringLiteral("logsSummon")).isSymLink());
        QCOMPARE(treeBelow(outside.path()),
                 (QStringList{QStringLiteral("keep.txt"), QStringLiteral("sub/"), QStringLiteral("sub/keep.txt")}));
    }

    // The leftovers of an older packing go only when logs are packed and the
    // old archive is there; the file goes through PowerShell (the stand-in).
    void leftoversOfOlderPacking_data()
    {
        QTest::addColumn<bool>("zipPresent");
        QTest::addColumn<bool>("logsPresent");
        QTest::addColumn<bool>("removed");
        QTest::newRow("archive and folder, logs found") << true << true << true;
        QTest::newRow("folder only, logs found") << false << true << false;
        QTest::newRow("archive and folder, no logs") << true << false << false;
    }
    void leftoversOfOlderPacking()
    {
        QFETCH(bool, zipPresent);
        QFETCH(bool, logsPresent);
        QFETCH(bool, removed);
        appendStandInsToPath();
        const InstallFolder install;
        const UserDataFolder user;
        addBundledArchiver(install, FixtureSteps());
        install.writeFile(QStringLiteral("logsSummon/inside.log"), "old");
        if (zipPresent)
            install.writeFile(QStringLiteral("logsSummon.zip"), "old archive");
        if (!logsPresent)
            QVERIFY(QDir(install.filePath(QStringLiteral("logs"))).removeRecursively());

        const OwnReport report;
        QString appData;
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appData);

        QCOMPARE(QFileInfo::exists(QStringLiteral("logsSummon.zip")), zipPresent && !removed);
        QCOMPARE(QFileInfo::exists(QStringLiteral("logsSummon/inside.log")), !removed);
        const QStringList written = report.records();
        const int zipping = written.indexOf(QStringLiteral("I611 Logs found, start zipping........."));
        if (removed) {
            // The deletion command leaves its (empty) error output, then the notice, before zipping.
            QVERIFY2(zipping >= 2, qPrintable(written.join(QLatin1Char('\n'))));
            QCOMPARE(written.at(zipping - 2), QStringLiteral("W46 "));
            QCOMPARE(written.at(zipping - 1), QStringLiteral("I510 Remove Zip file from last time"));
        } else {
            QVERIFY(!written.contains(QStringLiteral("I510 Remove Zip file from last time")));
        }
    }

#endif

    // A missing or failing archiver is reported as what it is; the success
    // record is not written, the copies and the list go all the same, and
    // the wait ends.
    void archiverFailure_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("none installed") << "none" << int(archiver::Result::Status::NotFound)
                                        << "no 7-Zip archiver was found";
#ifndef Q_OS_WIN // Windows has no permission bit that makes a program
        QTest::newRow("bundled not executable") << "not executable" << int(archiver::Result::Status::NotFound)
                                                << "no 7-Zip archiver was found";
#endif
        QTest::newRow("bundled cannot start") << "cannot start" << int(archiver::Result::Status::FailedToStart)
                                              << "the archiver ./quillon/Content/7z.exe could not be started";
        QTest::newRow("fatal error") << "exit 2" << int(archiver::Result::Status::ExitedWithError)
                                     << "ended with error code 2 (fatal error)\n7-Zip said:\nERROR: cannot write";
        QTest::newRow("command line error") << "exit 7" << int(archiver::Result::Status::ExitedWithError)
                                            << "ended with error code 7 (command line error)";
        QTest::newRow("crash") << "crash" << int(archiver::Result::Status::Crashed) << "stopped unexpectedly";
    }
    void archiverFailure()
    {
        QFETCH(QString, setup);
        QFETCH(int, status);
        QFETCH(QString, reason);
        const InstallFolder install;
        const UserDataFolder user;
        const FixturePath fixtures;
        install.writeFile(QStringLiteral("logs/app.log"), "app");
        writeTree(user.perUserLogs(), {{QStringLiteral("render.log"), "render"}});
        if (setup == QLatin1String("not executable")) {
            addBundledArchiver(install, FixtureSteps());
            QFile::setPermissions(install.filePath(kBundledArchiver), QFile::ReadOwner | QFile::WriteOwner);
        } else if (setup == QLatin1String("cannot start")) {
            // No program on any system: a script for an interpreter that is not there.
            install.writeFile(kBundledArchiver, "#!/no/such/interpreter\nexit 0\n");
            QFile::setPermissions(install.filePath(kBundledArchiver),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else if (setup == QLatin1String("exit 2")) {
            fixtures.addFixture(QStringLiteral("7z"), FixtureSteps().err("ERROR: cannot write\n").exit(2));
        } else if (setup == QLatin1String("exit 7")) {
            fixtures.addFixture(QStringLiteral("7z"), FixtureSteps().exit(7));
        } else if (setup == QLatin1String("crash")) {
            fixtures.addFixture(QStringLiteral("7z"), FixtureSteps().crash());
        }
        // Only the fixtures are on the search path: no system 7-Zip.
        const SearchPathOverride path({fixtures.path()});

        const OwnReport report;
        QElapsedTimer clock;
        clock.start();
        QString appData;
        packing::Outcome packed;
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appData, packed);
        QVERIFY(clock.elapsed() < 15000);

        QCOMPARE(int(packed.archive.status), status);
        QVERIFY(packed.archive.failed());
        const QStringList written = report.records();
        const int zipping = written.indexOf(QStringLiteral("I611 Logs found, start zipping........."));
        QVERIFY2(zipping > 0 && zipping + 1 < written.size(), qPrintable(written.join(QLatin1Char('\n'))));
        const QString outcome = written.at(zipping + 1);
        QVERIFY2(outcome.startsWith(QStringLiteral("W620 ") + kFailurePrefix), qPrintable(outcome));
        QVERIFY2(outcome.contains(reason), qPrintable(outcome));
        QVERIFY(!written.join(QLatin1Char('\n')).contains(kZipFinished));
        const QStringList cleanUp = written.mid(zipping + 2);
        QCOMPARE(cleanUp, cleanUpRecords(QDir::currentPath() + QStringLiteral("/logs_quillon"), true)
                              + cleanUpRecords(user.perUserCopy(), true));
        QVERIFY(!QFile::exists(QStringLiteral("logsLocations.txt")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("zziplog.zip")));
    }

    // 7-Zip's warnings (exit code 1) still leave a usable archive: the
    // success record stands, followed by what 7-Zip warned about, one record
    // for each file it names, and how many are not in the archive.
    void archiverWarnings()
    {
        const InstallFolder install;
        const UserDataFolder user;
        const FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("7z"), FixtureSteps()
                                                      .err("\nWARNING: errno=13 : Permission denied\n/x/a.log\n\n")
                                                      .writeToArgument(2, "archive\n")
                                                      .exit(1));
        const SearchPathOverride path({fixtures.path()});
        install.writeFile(QStringLiteral("logs/app.log"), "app");

        const OwnReport report;
        QString appData;
        packing::Outcome packed;
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appData, packed);
        QVERIFY(packed.archive.written());
        QVERIFY(!packed.complete());
        const QStringList written = report.records();
        const int finished = written.indexOf(QStringLiteral("I620 ") + kZipFinished);
        QVERIFY2(finished > 0 && finished + 3 < written.size(), qPrintable(written.join(QLatin1Char('\n'))));
        QVERIFY(written.at(finished + 1).startsWith(QStringLiteral("W621 7-Zip finished with warnings (exit code 1)")));
        QCOMPARE(written.mid(finished + 2, 2),
                 (QStringList{QStringLiteral("W622 Not packed: /x/a.log: errno=13 : Permission denied"),
                              QStringLiteral("W623 Zip incomplete, 1 of the files and folders of this run's logs are "
                                             "not in zziplog.zip")}));
        QCOMPARE(readFile(QStringLiteral("zziplog.zip")), QByteArray("archive\n"));
    }

#ifndef Q_OS_WIN
    // The stand-in PowerShell's Remove-Item (a Linux program): one named file
    // of the current folder, deleted without a word; a missing one is refused
    // the way PowerShell refuses it; the name is never handed to a shell.
    void standInRemoveItem()
    {
        const InstallFolder install;
        install.writeFile(QStringLiteral("logsSummon.zip"), "old");
        const QString program = QStringLiteral(STANDIN_DIR "/powershell");

        QProcess removal;
        removal.start(program, windowscommands::removeFile(QStringLiteral("logsSummon.zip")));
        QVERIFY(removal.waitForFinished(10000));
        QCOMPARE(removal.exitCode(), 0);
        QCOMPARE(removal.readAllStandardOutput(), QByteArray());
        QCOMPARE(removal.readAllStandardError(), QByteArray());
        QVERIFY(!QFile::exists(QStringLiteral("logsSummon.zip")));

        const QString odd = QStringLiteral("x; touch pwned");
        QProcess missing;
        missing.start(program, windowscommands::removeFile(odd));
        QVERIFY(missing.waitForFinished(10000));
        QCOMPARE(missing.exitCode(), 1);
        QCOMPARE(missing.readAllStandardOutput(), QByteArray());
        const QString error = QString::fromLocal8Bit(missing.readAllStandardError());
        QVERIFY2(error.startsWith(QStringLiteral("Remove-Item : Cannot find path '%1' because it does not exist.\r\n")
                                      .arg(QDir::current().absoluteFilePath(odd))),
                 qPrintable(error));
        QVERIFY(error.contains(QStringLiteral("PathNotFound,Microsoft.PowerShell.Commands.RemoveItemCommand")));
        QVERIFY(!QFile::exists(QStringLiteral("pwned")));
    }
#endif
};

QTEST_GUILESS_MAIN(LogCollectionTest)
#include "tst_logcollection.moc"
