// The archive action and the combined actions in the real window: the pane
// lines, the zip report, the archive they leave, how the archive is shown,
// and what a close during the archiving does.

#include "archive/archivereveal.h"
#include "archivesupport.h"
#include "environmentvalue.h"
#include "findings/findingsfile.h"
#include "process/cancellation.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <algorithm>

using namespace testsupport;

namespace {

const QString kStart = QStringLiteral("Start Zipping...");
const QString kPacked = QStringLiteral(
    "All the logs have been packed and zipped into \"zziplog.zip\" under your Tessaly render installation folder");
const QString kZipFinished = QStringLiteral("Zip finished, saved into zziplog.zip in your installation folder");

// An installation folder whose path has blanks and letters beyond ASCII,
// current for the guard's life.
class OddlyNamedInstallation
{
public:
    OddlyNamedInstallation()
    {
        QDir(m_outer.path()).mkpath(QStringLiteral("Tessaly Render Ü/logs/SupportTool"));
        QDir::setCurrent(m_outer.filePath(QStringLiteral("Tessaly Render Ü")));
    }
    QString path() const { return QDir::currentPath(); }

private:
    InstallFolder m_outer; // restores the previous folder last
};

QStringList paneLines(const MainWindow &window)
{
    return window.findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText().split(QLatin1Char('\n'));
}

// The last lines before the findings block, if the pane has one.
QStringList lastPaneLines(const MainWindow &window, int count)
{
    const QStringList lines = withoutFindingsBlock(paneLines(window).join(QLatin1Char('\n'))).split(QLatin1Char('\n'));
    return lines.mid(qMax(0, lines.size() - count));
}

// The four lines the zip steps end the pane with, for an archive in the current folder.
QStringList zipPaneLines(const QString &message)
{
    const QString folder = QDir::currentPath();
    QString windowsPath = folder + QStringLiteral("/zziplog.zip");
    windowsPath.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return {kStart, message, QStringLiteral("file path: ") + folder, QStringLiteral("explorer.exe /select, ") + windowsPath};
}

QStringList zipReportTexts()
{
    const QStringList reports = reportFiles(QStringLiteral("SupportLog_zip_"));
    if (reports.size() != 1)
        return {QStringLiteral("%1 zip reports").arg(reports.size())};
    QStringList texts;
    for (const Record &record : recordsOf(reports.first()))
        texts << QStringLiteral("%1%2 %3").arg(record.level).arg(record.line).arg(record.text);
    return texts;
}

// Windows shows the archive in Explorer, started from the Windows folder,
// which no fixture can stand in for: there the window is asked not to.
void showNoArchiveOnWindows(MainWindow &window)
{
#ifdef Q_OS_WIN
    window.setRevealsArchive(false);
#else
    Q_UNUSED(window)
#endif
}

// The zip step ended well: its four pane lines (followed by linesAfter
// more), the buttons back, and the zip report from its first record to
// the success record.
void verifyPackedWithSuccess(const MainWindow &window, int linesAfter = 0)
{
    QCOMPARE(lastPaneLines(window, 4 + linesAfter).mid(0, 4), zipPaneLines(kPacked));
    QVERIFY(idle(window));
    const QStringList texts = zipReportTexts();
    QVERIFY2(!texts.isEmpty() && texts.first().startsWith(QStringLiteral("I576 ")), qPrintable(texts.join('\n')));
    QVERIFY2(texts.contains(QStringLiteral("I620 ") + kZipFinished), qPrintable(texts.join('\n')));
}

} // namespace

class ArchiveActionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::initWindowTests(); }

    void explorerTexts_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("plain") << "C:/Tessaly/zziplog.zip" << "explorer.exe /select, C:\\Tessaly\\zziplog.zip"
                               << "/select,\"C:\\Tessaly\\zziplog.zip\"";
        QTest::newRow("blanks and letters")
            << "C:/Program Files/Tessaly Render Ü/zziplog.zip"
            << "explorer.exe /select, C:\\Program Files\\Tessaly Render Ü\\zziplog.zip"
            << "/select,\"C:\\Program Files\\Tessaly Render Ü\\zziplog.zip\"";
        // Beyond the 16-bit range: Windows' wide strings hold it as a pair.
        QTest::newRow("letter beyond 16 bits")
            << QStringLiteral("D:/Render \U0001D11E/zziplog.zip")
            << QStringLiteral("explorer.exe /select, D:\\Render \U0001D11E\\zziplog.zip")
            << QStringLiteral("/select,\"D:\\Render \U0001D11E\\zziplog.zip\"");
    }
    void explorerTexts()
    {
        QFETCH(QString, archive);
        QFETCH(QString, command);
        QFETCH(QString, arguments);
        QCOMPARE(archivereveal::explorerCommandText(archive), command);
        QCOMPARE(archivereveal::explorerArguments(archive), arguments);
    }

    // The whole action with the system's 7-Zip, in a folder whose name has
    // blanks and a letter beyond ASCII. The address tests' results a killed
    // run left are no report and are not packed.
    void zipLogsEndToEnd()
    {
        const OddlyNamedInstallation install;
        const UserDataFolder user;
        const NoDesktop noDesktop;
        writeTree(install.path(), {{QStringLiteral("logs/Überblick.log"), "host"},
                                   {QStringLiteral("logs/SupportTool/pingResult.txt"), "Pinging 127.0.0.1"},
                                   {QStringLiteral("logs/SupportTool/tracertResult.txt"), "Tracing route"}});
        writeTree(user.perUserLogs(), {{QStringLiteral("render.log"), "render"}});

        MainWindow window;
        showNoArchiveOnWindows(window);
        window.zipLogs();

        verifyPackedWithSuccess(window);
        if (QTest::currentTestFailed())
            return;

        const QStringList entries = archiveEntries(QStringLiteral("zziplog.zip"));
        const QString zipReport = QFileInfo(reportFiles(QStringLiteral("SupportLog_zip_")).first()).fileName();
        for (const QString &expected : {QStringLiteral("logs_quillon/Überblick.log"),
                                        QStringLiteral("logs_AppData_Local/render.log"),
                                        QStringLiteral("logs_quillon/SupportTool/") + zipReport}) {
            QVERIFY2(entries.contains(expected), qPrintable(expected + QStringLiteral(" missing from: ") + entries.join(' ')));
        }
        for (const QString &result : {QStringLiteral("pingResult.txt"), QStringLiteral("tracertResult.txt")}) {
            QVERIFY(!entries.contains(QStringLiteral("logs_quillon/SupportTool/") + result));
            QVERIFY(!QFileInfo::exists(QStringLiteral("logs/SupportTool/") + result));
        }
        QVERIFY(!QFileInfo::exists(QStringLiteral("logs_quillon")));
        QVERIFY(!QFileInfo::exists(user.perUserCopy()));
        // Only "Check All and Zip At Once" makes the shareable copy in the window.
        QVERIFY(!QFileInfo::exists(QStringLiteral("zziplog_shareable.zip")));
    }

    // The closing line says what the archive holds: why there is none of
    // this run (and then no archive is revealed), or how many files or
    // folders are missing from it, each named in the report.
    void closingTexts_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("closing");
        QTest::addColumn<QString>("record");
        const QString oneLeftOut = QStringLiteral(
            "1 file or folder could not be packed; the others are in \"zziplog.zip\" under your Tessaly render "
            "installation folder. The zip report names it and why.");
        QTest::newRow("no archiver") << "no archiver" << "Zipping failed: no 7-Zip archiver was found"
                                     << "W620 Zip failed, zziplog.zip does not hold the logs of this run: no 7-Zip";
        QTest::newRow("7-Zip warnings") << "warnings" << oneLeftOut
                                        << "W622 Not packed: /x/a.log: errno=13 : Permission denied";
#ifndef Q_OS_WIN // no name of Windows holds a line break
        QTest::newRow("line break in the installation path") << "line break" << oneLeftOut << "W612 Not packed: ";
        // Nothing left to pack: no archive run.
        QTest::newRow("line break, no per-user logs")
            << "line break alone" << "Zipping failed: no copy of the log folders could be handed to the archiver"
            << "W620 Zip failed, zziplog.zip does not hold the logs of this run: no copy";
#endif
    }
    void closingTexts()
    {
        QFETCH(QString, setup);
        QFETCH(QString, closing);
        QFETCH(QString, record);
        const InstallFolder outer;
        const bool lineBreak = setup.startsWith(QLatin1String("line break"));
        if (lineBreak) {
            QVERIFY(QDir(outer.path()).mkpath(QStringLiteral("Tessaly\nRender/logs/SupportTool")));
            QVERIFY(QDir::setCurrent(outer.filePath(QStringLiteral("Tessaly\nRender"))));
        }
        const UserDataFolder user;
        const NoDesktop noDesktop;
        const FixturePath fixtures;
        if (setup == QLatin1String("warnings")) {
            fixtures.addFixture(QStringLiteral("7z"), FixtureSteps()
                                                          .err("WARNING: errno=13 : Permission denied\n/x/a.log\n")
                                                          .writeToArgument(2, "archive\n")
                                                          .exit(1));
        }
        const QStringList systemPath = lineBreak ? QStringList{QStringLiteral("/usr/bin"), QStringLiteral("/bin")} : QStringList();
        const SearchPathOverride path(QStringList{fixtures.path()} + systemPath);
        writeTree(QDir::currentPath(), {{QStringLiteral("logs/app.log"), "app"}});
        if (setup == QLatin1String("line break"))
            writeTree(user.perUserLogs(), {{QStringLiteral("render.log"), "render"}});

        MainWindow window;
        showNoArchiveOnWindows(window);
        window.zipLogs();
        QVERIFY(idle(window));
        const QString pane = paneLines(window).join(QLatin1Char('\n'));
        QVERIFY2(pane.contains(QStringLiteral("Start Zipping...\n") + closing), qPrintable(pane));
        QVERIFY(!pane.contains(kPacked));
        // Only an archive of this run is revealed.
        const bool written = !closing.startsWith(QStringLiteral("Zipping failed"));
        QCOMPARE(pane.contains(QStringLiteral("file path: ")), written);
        QCOMPARE(QFileInfo::exists(QStringLiteral("zziplog.zip")), written);
        const QStringList texts = zipReportTexts();
        QVERIFY2(std::any_of(texts.cbegin(), texts.cend(), [&](const QString &text) { return text.startsWith(record); }),
                 qPrintable(texts.join('\n')));
        if (setup == QLatin1String("line break"))
            QCOMPARE(archiveEntries(QStringLiteral("zziplog.zip")),
                     (QStringList{QStringLiteral("logs_AppData_Local"), QStringLiteral("logs_AppData_Local/render.log")}));
        if (written)
            QVERIFY(texts.contains(QStringLiteral("W623 Zip incomplete, 1 of the files and folders of this run's logs are "
                                                  "not in zziplog.zip")));
    }

#ifndef Q_OS_WIN
    // xdg-open is how Linux shows the archive (Windows starts Explorer).
    // In a desktop session the archive's folder is opened, handed over as
    // one argument however many blanks it has; the process stays with the window.
    void exportResultOpensFolder()
    {
        const OddlyNamedInstallation install;
        const FixturePath fixtures;
        const QString capture = fixtures.path() + QStringLiteral("/opened.txt");
        fixtures.addScript(QStringLiteral("xdg-open"),
                           "printf '%s\\n' \"$#\" \"$@\" > '" + QFile::encodeName(capture) + "'");
        const EnvironmentValue display("DISPLAY", ":0");

        MainWindow window;
        window.ExportResult();
        QTRY_VERIFY(QFile::exists(capture));
        QTRY_COMPARE(readFile(capture), "1\n" + install.path().toUtf8() + "\n");
        QCOMPARE(window.findChildren<QProcess *>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
        QCOMPARE(lastPaneLines(window, 2), zipPaneLines(QString()).mid(2));
    }

#endif

    // The headless runner turns the browser off, on every system.
    void exportResultNotRevealedWhenTurnedOff()
    {
        const InstallFolder install;
        const FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("xdg-open"), FixtureSteps());
        const EnvironmentValue display("DISPLAY", ":0");

        MainWindow window;
        window.setRevealsArchive(false);
        window.ExportResult();
        QVERIFY(window.findChildren<QProcess *>(QString(), Qt::FindDirectChildrenOnly).isEmpty());
        QCOMPARE(lastPaneLines(window, 2), zipPaneLines(QString()).mid(2));
    }

#ifndef Q_OS_WIN // Windows always has its Explorer
    void exportResultWithoutDesktop()
    {
        const InstallFolder install;
        const FixturePath fixtures;
        fixtures.addScript(QStringLiteral("xdg-open"), "exit 0");
        const NoDesktop noDesktop;

        MainWindow window;
        window.ExportResult();
        QVERIFY(window.findChildren<QProcess *>(QString(), Qt::FindDirectChildrenOnly).isEmpty());
        QCOMPARE(lastPaneLines(window, 2), zipPaneLines(QString()).mid(2));
    }
#endif

    // Closing the window while the archiver runs stops it at once; the
    // copies go, the report tells what happened, and the window then closes.
    void closeWhileZipping()
    {
        const InstallFolder install;
        const UserDataFolder user;
        const NoDesktop noDesktop;
        const FixturePath fixtures;
        // Stopped half way through the new archive: the older one stays as it was.
        fixtures.addFixture(QStringLiteral("7z"), FixtureSteps().writeToArgument(2, "cut off\n").hang());
        const SearchPathOverride path({fixtures.path(), QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
        install.writeFile(QStringLiteral("logs/app.log"), "app");
        install.writeFile(QStringLiteral("zziplog.zip"), "older archive");

        MainWindow window;
        window.show();
        QTimer::singleShot(300, &window, &QWidget::close);
        QElapsedTimer clock;
        clock.start();
        window.zipLogs();
        QVERIFY(clock.elapsed() < 10000);

        QCOMPARE(paneLines(window).last(), kStart);
        const QString report = zipReportTexts().join(QLatin1Char('\n'));
        QVERIFY2(report.contains(QStringLiteral("W620 Zip failed, zziplog.zip does not hold the logs of this run: the "
                                                "window was closed")),
                 qPrintable(report));
        QVERIFY(!report.contains(kZipFinished));
        QVERIFY(!QFileInfo::exists(QStringLiteral("logs_quillon")));
        QVERIFY(!QFile::exists(QStringLiteral("logsLocations.txt")));
        QCOMPARE(readFile(QStringLiteral("zziplog.zip")), QByteArray("older archive"));
        QVERIFY(!QFileInfo::exists(QStringLiteral("zziplog.unfinished.zip")));
        QTRY_VERIFY(!window.isVisible());
    }

    // The three inspection actions in a row; no archive is made. (The
    // actions themselves are tested on their own.)
    void getSystemInfoMakesNoArchive()
    {
        const InstallFolder install;
        const NoDesktop noDesktop;
        const FixturePath fixtures;
        fixtures.addSilentShells();

        MainWindow window;
        window.GetSystemInfo();
        QVERIFY(idle(window));
        QVERIFY(reportFiles(QStringLiteral("SupportLog_zip_")).isEmpty());
        QVERIFY(!QFileInfo::exists(QStringLiteral("zziplog.zip")));
        QVERIFY(!paneLines(window).contains(kStart));
    }

    // Checked all and zipped: the pane ends with the zip part, the zip report
    // tells a successful run, and every report written before the zip step
    // is inside the archive.
    void gatherAndZipAtOnceArchivesTheReports_data()
    {
        QTest::addColumn<bool>("shareable");
        QTest::newRow("the window: with the shareable copy") << true;
        // The runner without --shareable: a scripted run writes only what
        // it is asked for.
        QTest::newRow("no shareable copy asked for") << false;
    }
    void gatherAndZipAtOnceArchivesTheReports()
    {
        QFETCH(bool, shareable);
        const InstallFolder install;
        const UserDataFolder user;
        const NoDesktop noDesktop;
        const FixturePath fixtures;
        fixtures.addSilentShells();

        MainWindow window;
        showNoArchiveOnWindows(window);
        if (!shareable)
            window.setShareableCopy(MainWindow::ShareableCopy::Never);
        window.gatherAndZipAtOnce();

        // The zip step's texts, where the shareable copy went, then the
        // findings block last.
        verifyPackedWithSuccess(window, shareable ? 1 : 0);
        if (QTest::currentTestFailed())
            return;
        if (shareable) {
            const QString line = lastPaneLines(window, 1).first();
            QVERIFY2(line.startsWith(QStringLiteral("Shareable copy without personal data: ")
                                     + QDir::toNativeSeparators(
                                         QDir::current().absoluteFilePath(QStringLiteral("zziplog_shareable.zip")))),
                     qPrintable(line));
        }
        for (const char *name : {"zziplog_shareable.zip", "zziplog_shareable_map.txt"})
            QCOMPARE(QFileInfo::exists(QLatin1String(name)), shareable);
        const QString pane = paneText(window);
        QVERIFY2(withoutFindingsBlock(pane) != pane, qPrintable(pane));

        // The zip report is made by the first record of the zip step, before
        // anything is copied, so every file there now was there before.
        const QStringList entries = archiveEntries(QStringLiteral("zziplog.zip"));
        const QStringList reports = QDir(QStringLiteral("logs/SupportTool")).entryList(QDir::Files);
        QVERIFY(!reports.isEmpty());
        for (const QString &name : reports) {
            QVERIFY2(entries.contains(QStringLiteral("logs_quillon/SupportTool/") + name),
                     qPrintable(name + QStringLiteral(" missing from: ") + entries.join(' ')));
        }
        if (!shareable)
            return;

        // The map stays on this machine: a later archive for support packs
        // the log folders only, never the map or the copy beside them.
        window.zipLogs();
        const QStringList later = archiveEntries(QStringLiteral("zziplog.zip"));
        QVERIFY(!later.isEmpty());
        for (const QString &entry : later)
            QVERIFY2(!entry.contains(QStringLiteral("zziplog_shareable")), qPrintable(entry));
    }

    // A close that comes during the inspection parts (here: a cancellation
    // in force from the start) leaves the zip step out.
    void gatherAndZipAtOnceStopsWhenCancelled()
    {
        const InstallFolder install;
        const NoDesktop noDesktop;
        const FixturePath fixtures;
        fixtures.addSilentShells();

        MainWindow window;
        cancellation::request();
        window.gatherAndZipAtOnce();
        cancellation::reset();
        QVERIFY(reportFiles(QStringLiteral("SupportLog_zip_")).isEmpty());
        QVERIFY(!QFile::exists(findingsfile::path()));
        QVERIFY(!QFileInfo::exists(QStringLiteral("zziplog.zip")));
        QVERIFY(!paneLines(window).contains(kStart));
    }
};

QTEST_MAIN(ArchiveActionTest)
#include "tst_archiveaction.moc"
