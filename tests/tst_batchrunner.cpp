// The headless runner SupportToolBatch, started as a child process the way a
// support script starts it: its usage errors and exit statuses, the agreement
// it requires, its JSON lines, that its plain text is what the window's pane
// shows for the same action, and the installed layout running on its own.

#include "archivesupport.h"
#include "findings/findingstext.h"
#include "hardwaresamples.h"
#include "hostilefolders.h"
#include "programstart.h"
#include "inspection/windowscommands.h"
#include "reportfixture.h"
#include "reports/reportsources.h"
#include "shaping/hardwareshaping.h"
#include "shaping/softwareshaping.h"
#include "slowpowershell.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"
#include "zipmaker.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include <csignal>

#include <unistd.h>

using namespace testsupport;

namespace {

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The test's environment (fixtures first on PATH), with the run logs'
// default destination in a scratch folder instead of the system's.
QProcessEnvironment childEnvironment()
{
    static QTemporaryDir runLogs;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("GLOG_log_dir"), runLogs.path());
    return environment;
}

Outcome runProgram(const QString &program, const QStringList &arguments,
                   const QProcessEnvironment &environment = childEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Outcome outcome;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        outcome.err = "did not end in time";
        return outcome;
    }
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = process.readAllStandardOutput();
    outcome.err = process.readAllStandardError();
    return outcome;
}

Outcome runBatch(const QStringList &arguments) { return runProgram(QStringLiteral(BATCH_BINARY), arguments); }

// The runner started in folder, as from a shell there.
Outcome runBatchIn(const QString &folder, const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(childEnvironment());
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(BATCH_BINARY), arguments);
    process.waitForFinished(60000);
    return Outcome{process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QString describe(const Outcome &outcome)
{
    return QStringLiteral("exit %1\nstdout: %2\nstderr: %3")
        .arg(outcome.exitCode)
        .arg(QString::fromUtf8(outcome.out), QString::fromUtf8(outcome.err));
}

void recordAgreement(const InstallFolder &folder, const QString &value)
{
    QSettings settings(folder.filePath(QStringLiteral("SupportToolConfig.ini")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("AgreeLicense/agreed"), value);
}

QString storedAgreement(const InstallFolder &folder)
{
    const QSettings settings(folder.filePath(QStringLiteral("SupportToolConfig.ini")), QSettings::IniFormat);
    return settings.value(QStringLiteral("AgreeLicense/agreed")).toString();
}

// A "powershell" that leaves a mark in the fixture folder when anything runs it.
QString addMarkingPowerShell(const FixturePath &fixtures)
{
    const QString mark = QDir(fixtures.path()).filePath(QStringLiteral("powershell-ran"));
    fixtures.addScript(QStringLiteral("powershell"), "touch '" + QFile::encodeName(mark) + "'");
    return mark;
}

// A process list with what JSON must escape: quotes, a backslash, a tab and
// letters beyond ASCII.
const QByteArray kProcessList =
    "Process=GamePP \"x64\"             CPU_Usage_%=0            Memory_Usage_=12.5            \r\n"
    "Process=C:\\Tools\\wwbizsrv\t       CPU_Usage_%=1            Memory_Usage_=8.25            \r\n"
    "Process=Überwachung              CPU_Usage_%=3            Memory_Usage_=1.5             \r\n";

void answerHardwareScripts(const FixturePath &fixtures)
{
    using namespace windowscommands;
    fixtures.addPowerShell({{asScript(processor()), hardwaresamples::kProcessor},
                            {asScript(videoControllers()), hardwaresamples::kVideoControllers},
                            {asScript(physicalMemory()), hardwaresamples::kPhysicalMemory},
                            {asScript(pageFile()), hardwaresamples::kPageFile},
                            {asScript(physicalDisks()), hardwaresamples::kPhysicalDisks},
                            {asScript(tdrValues()), hardwaresamples::kTdrValues}});
}

// The mounted volumes' figures move while anything writes to the disks.
QString withoutVolumeFigures(QString text)
{
    static const QRegularExpression figures(QStringLiteral("(Path: \\S+) TotalGBytes: .*GB$"),
                                            QRegularExpression::MultilineOption);
    return text.replace(figures, QStringLiteral("\\1 ..."));
}

// A software run whose command never ends, in an installation folder of its
// own: once started, it holds that folder until it is killed.
struct HangingRun
{
    InstallFolder folder;
    FixturePath fixtures;
    QProcess batch;

    // Starts the run and waits until its command runs.
    bool start()
    {
        addHangingPowerShell(fixtures);
        recordAgreement(folder, QStringLiteral("1"));
        batch.setProcessEnvironment(childEnvironment());
        batch.start(QStringLiteral(BATCH_BINARY),
                    {QStringLiteral("--install-dir"), folder.path(), QStringLiteral("software")});
        QByteArray progress;
        QElapsedTimer clock;
        clock.start();
        while (!progress.contains("running: getProcessInfo") && clock.elapsed() < 10000) {
            batch.waitForReadyRead(100);
            progress += batch.readAllStandardError();
        }
        return progress.contains("running: getProcessInfo");
    }
    bool killOutright()
    {
        ::kill(pid_t(batch.processId()), SIGKILL);
        return batch.waitForFinished(10000);
    }
};

// The processes whose parent is pid, and whether a process has ended (gone,
// or a zombie nobody collects), from /proc.
QList<qint64> childrenOf(qint64 pid)
{
    QList<qint64> children;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(entry));
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toLongLong() == pid)
            children << entry.toLongLong();
    }
    return children;
}
bool processEnded(qint64 pid)
{
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.isEmpty() || stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z";
}

// The names in a folder and below, with the content of each file.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, readFile(path));
    }
    return files;
}

} // namespace

class BatchRunnerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWindowTests(); }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "@" stands for the installation folder
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown action") << QStringList{"--install-dir", "@", "hardwar"}
                                        << "unknown action \"hardwar\"";
        QTest::newRow("no action") << QStringList{"--install-dir", "@", "--json", "--accept-terms"}
                                   << "no action given";
        QTest::newRow("unknown option") << QStringList{"--install-dir", "@", "--jsn", "software"}
                                        << "unknown option \"--jsn\"";
        QTest::newRow("option value missing") << QStringList{"software", "--install-dir"}
                                              << "--install-dir needs a folder";
        QTest::newRow("option value empty") << QStringList{"--install-dir=", "software"}
                                            << "--install-dir needs a folder, not an empty text";
        QTest::newRow("folder given twice") << QStringList{"--install-dir", "@", "--install-dir=@", "software"}
                                            << "--install-dir is given more than once";
        QTest::newRow("read without a path") << QStringList{"--json", "--read"} << "--read needs an archive or a folder";
        QTest::newRow("read followed by an option") << QStringList{"--read", "--json"}
                                                    << "--read needs an archive or a folder, not the option \"--json\"";
        QTest::newRow("folder followed by an option") << QStringList{"--install-dir", "--accept-terms", "software"}
                                                      << "--install-dir needs a folder, not the option \"--accept-terms\"";
        QTest::newRow("an option after --") << QStringList{"--install-dir", "@", "--", "--json"}
                                            << "unknown action \"--json\"";
        // After --read every argument that is not an option is a path.
        QTest::newRow("read and an action") << QStringList{"software", "--read", "@"}
                                            << "--read takes no action, --install-dir, --accept-terms or --shareable";
        QTest::newRow("read and shareable") << QStringList{"--read", "@", "--shareable"}
                                            << "--read takes no action, --install-dir, --accept-terms or --shareable";
        QTest::newRow("summary without read") << QStringList{"--install-dir", "@", "--summary", "software"}
                                              << "--summary is for --read";
        QTest::newRow("shareable without a zip step") << QStringList{"--install-dir", "@", "--shareable", "hardware", "auto"}
                                                      << "--shareable needs the action zip or all";
    }
    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const InstallFolder folder;
        const FixturePath fixtures;
        const QString mark = addMarkingPowerShell(fixtures);
        arguments.replaceInStrings(QStringLiteral("@"), folder.path());

        const Outcome outcome = runBatch(arguments);
        QVERIFY2(outcome.exitCode == 2, qPrintable(describe(outcome)));
        QVERIFY2(outcome.err.startsWith("SupportToolBatch: " + message.toUtf8()), qPrintable(describe(outcome)));
        QVERIFY(outcome.err.contains(
            "Usage: SupportToolBatch [--install-dir DIR] [--json] [--accept-terms] [--shareable] ACTION..."));
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(!QFile::exists(mark));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("SupportToolConfig.ini"))));
    }

    void helpAndVersion()
    {
        const Outcome version = runBatch({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("SupportToolBatch " SUPPORTTOOL_VERSION "\n"));

        // --help answers whatever follows it.
        const Outcome help = runBatch({QStringLiteral("--help"), QStringLiteral("no-such-action")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("Usage: SupportToolBatch") && help.out.contains("Exit status:"));
        QVERIFY(help.out.contains("  9  a report could not be written in full")
                && help.out.contains("  10  another run of the tool is using this installation folder")
                && help.out.contains("  11  Qt stopped the run with a fatal error"));
        QVERIFY(help.err.isEmpty());
    }

    void unusableFolder_data()
    {
        QTest::addColumn<QString>("relative"); // inside a scratch folder that holds a file named "logs"
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "nowhere" << "it does not exist";
        QTest::newRow("a file") << "logs" << "it is not a folder";
        QTest::newRow("no report folder") << "." << "cannot be created";
    }
    void unusableFolder()
    {
        QFETCH(QString, relative);
        QFETCH(QString, message);
        const FixturePath fixtures;
        const QString mark = addMarkingPowerShell(fixtures);
        QTemporaryDir scratch;
        QFile logs(scratch.filePath(QStringLiteral("logs")));
        QVERIFY(logs.open(QIODevice::WriteOnly));
        logs.close();

        const Outcome outcome = runBatch({QStringLiteral("--install-dir"), scratch.filePath(relative),
                                          QStringLiteral("--accept-terms"), QStringLiteral("software")});
        QVERIFY2(outcome.exitCode == 3, qPrintable(describe(outcome)));
        QVERIFY2(outcome.err.contains(message.toUtf8()), qPrintable(describe(outcome)));
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(!QFile::exists(mark));
    }

    // Where Qt finds no offscreen platform plugin (here a qt.conf beside a
    // copy of the runner names an empty plugin folder), the runner ends
    // with 11 before its first action, Qt's message and its own on
    // standard error, rather than in abort() (or, on Windows, a message box
    // waiting for a click).
    void withoutPlatformPluginSaysWhy()
    {
        const FixturePath fixtures;
        const QString mark = addMarkingPowerShell(fixtures);
        QTemporaryDir scratch;
        const QString runner = scratch.filePath(QStringLiteral("SupportToolBatch"));
        QVERIFY(QFile::copy(QStringLiteral(BATCH_BINARY), runner));
        QFile configuration(scratch.filePath(QStringLiteral("qt.conf")));
        QVERIFY(configuration.open(QIODevice::WriteOnly));
        configuration.write("[Paths]\nPlugins=no-plugins\n");
        configuration.close();
        QProcessEnvironment environment = childEnvironment();
        environment.remove(QStringLiteral("QT_PLUGIN_PATH"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM_PLUGIN_PATH"));

        const Outcome outcome = runProgram(runner, {QStringLiteral("--install-dir"), scratch.path(),
                                                    QStringLiteral("--accept-terms"), QStringLiteral("software")},
                                           environment);
        QVERIFY2(outcome.exitCode == 11, qPrintable(describe(outcome)));
        QVERIFY2(outcome.err.contains("no Qt platform plugin could be initialized")
                     && outcome.err.contains("\nSupportToolBatch: Qt could not start (see above), so nothing was run."),
                 qPrintable(describe(outcome)));
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(!QFile::exists(mark));
        QVERIFY(!QFile::exists(scratch.filePath(QStringLiteral("logs"))));
    }

    void refusedWithoutRecordedAgreement_data()
    {
        QTest::addColumn<QString>("stored"); // empty: no settings file at all
        QTest::newRow("first run") << QString();
        QTest::newRow("not yet accepted") << "0";
    }
    void refusedWithoutRecordedAgreement()
    {
        QFETCH(QString, stored);
        const InstallFolder folder;
        const FixturePath fixtures;
        const QString mark = addMarkingPowerShell(fixtures);
        if (!stored.isEmpty())
            recordAgreement(folder, stored);
        // Nobody was asked, so nothing is written: no settings, no report
        // folder, no run log.
        const QString runLogs = childEnvironment().value(QStringLiteral("GLOG_log_dir"));
        const QMap<QString, QByteArray> runLogsBefore = snapshot(runLogs);
        const QMap<QString, QByteArray> before = snapshot(folder.path());

        const Outcome outcome = runBatch({QStringLiteral("--install-dir"), folder.path(), QStringLiteral("software")});
        QVERIFY2(outcome.exitCode == 4, qPrintable(describe(outcome)));
        // The terms themselves, and how to accept them.
        QVERIFY2(outcome.err.contains("Nothing is sent anywhere by the Tool"), qPrintable(describe(outcome)));
        QVERIFY(outcome.err.contains("--accept-terms"));
        QVERIFY(outcome.out.isEmpty());
        QVERIFY(!QFile::exists(mark));
        QCOMPARE(snapshot(folder.path()), before);
        QCOMPARE(snapshot(runLogs), runLogsBefore);
    }

    // A settings file the runner cannot read faithfully is never written:
    // without --accept-terms the run is refused, with the reason; with it,
    // the run goes on and standard error says the acceptance is not kept.
    void unreadableSettingsFileIsLeftAlone_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("refused") << false;
        QTest::newRow("accepted for this run") << true;
    }
    void unreadableSettingsFileIsLeftAlone()
    {
        QFETCH(bool, accept);
        const InstallFolder folder;
        const FixturePath fixtures;
        addMarkingPowerShell(fixtures);
        // UTF-16 without its byte-order mark: NUL bytes no 8-bit file holds.
        QByteArray utf16;
        for (const char c : QByteArray("[AgreeLicense]\r\nagreed=1\r\n"))
            utf16.append(c).append('\0');
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"), utf16);
        QStringList arguments{QStringLiteral("--install-dir"), folder.path(), QStringLiteral("software")};
        if (accept)
            arguments.prepend(QStringLiteral("--accept-terms"));
        const Outcome outcome = runBatch(arguments);
        QVERIFY2(outcome.exitCode == (accept ? 0 : 4), qPrintable(describe(outcome)));
        QVERIFY2(outcome.err.contains("SupportToolConfig.ini cannot be read: it holds NUL bytes")
                     || outcome.err.contains("the acceptance may not be kept: it holds NUL bytes"),
                 qPrintable(describe(outcome)));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("SupportToolConfig.ini"))), utf16);
    }

    // An "ANSI" file of a Windows editor: its recorded acceptance counts.
    void eightBitSettingsFileIsRead()
    {
        const InstallFolder folder;
        const FixturePath fixtures;
        fixtures.addSilentShells();
        const QByteArray ansi("; B\xFCro\r\n[AgreeLicense]\r\nagreed = 1\r\n");
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"), ansi);
        const Outcome outcome = runBatch({QStringLiteral("--install-dir"), folder.path(), QStringLiteral("software")});
        QVERIFY2(outcome.exitCode == 0, qPrintable(describe(outcome)));
        QCOMPARE(readFile(folder.filePath(QStringLiteral("SupportToolConfig.ini"))), ansi);
    }

    // The same report again within a second (the stand-ins answer in
    // milliseconds): each run gets its report file, whole.
    void sameReportAgainWithinOneSecond()
    {
        const InstallFolder folder;
        const FixturePath fixtures;
        fixtures.addPowerShell({{windowscommands::asScript(windowscommands::conflictingProcesses()), kProcessList}});
        recordAgreement(folder, QStringLiteral("1"));
        const Outcome outcome = runBatch({QStringLiteral("--install-dir"), folder.path(), QStringLiteral("software"),
                                          QStringLiteral("software"), QStringLiteral("hardware"),
                                          QStringLiteral("software")});
        QVERIFY2(outcome.exitCode == 0, qPrintable(describe(outcome)));
        const QStringList reports = reportFiles(QStringLiteral("SupportLog_software_confliction_"));
        QCOMPARE(reports.size(), 2);
        // The first holds both runs before the hardware action, the second the last run.
        for (int i = 0; i < 2; ++i) {
            int runs = 0;
            for (const Record &record : recordsOf(reports.at(i)))
                runs += record.line == 464 ? 1 : 0;
            QCOMPARE(runs, 2 - i);
        }
    }

    // --accept-terms records the agreement as the dialog's OK does; the one
    // JSON line names the action and the check and carries the check's text
    // exactly, escapes and all.
    void acceptTermsThenJsonLines()
    {
        const InstallFolder folder;
        const FixturePath fixtures;
        fixtures.addPowerShell({{windowscommands::asScript(windowscommands::conflictingProcesses()), kProcessList}});

        const Outcome outcome = runBatch({QStringLiteral("--install-dir"), folder.path(), QStringLiteral("--json"),
                                          QStringLiteral("--accept-terms"), QStringLiteral("software")});
        QVERIFY2(outcome.exitCode == 0, qPrintable(describe(outcome)));
        QCOMPARE(storedAgreement(folder), QStringLiteral("1"));

        const QList<QByteArray> lines = outcome.out.split('\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.last().isEmpty());
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(lines.first(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonObject object = document.object();
        QCOMPARE(object.keys(), (QStringList{"action", "check", "text"}));
        QCOMPARE(object.value("action").toString(), QStringLiteral("software"));
        QCOMPARE(object.value("check").toString(), QStringLiteral("getProcessInfo"));
        const QString expected = softwareshaping::conflictingProcesses(QString::fromLocal8Bit(kProcessList)).text;
        QVERIFY(expected.contains(QStringLiteral("Überwachung")) && expected.contains(QLatin1Char('\t')));
        QCOMPARE(object.value("text").toString(), expected);

        // The reports are where the window would have put them; the
        // progress went to standard error.
        QCOMPARE(reportFiles(QStringLiteral("SupportLog_software_confliction_")).size(), 1);
        QVERIFY2(outcome.err.contains("1 of 1 actions done"), outcome.err.constData());
        QVERIFY(outcome.err.contains("getProcessInfo"));

        // The run log's files and the reports, but no link to the latest of
        // them: the archive would carry a report twice.
        for (const QString &written :
             {childEnvironment().value(QStringLiteral("GLOG_log_dir")), folder.filePath(QStringLiteral("logs/SupportTool"))}) {
            const QFileInfoList entries = QDir(written).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
            QVERIFY(!entries.isEmpty());
            for (const QFileInfo &entry : entries)
                QVERIFY2(!entry.isSymLink(), qPrintable(entry.filePath()));
        }
    }

    // Every text, in order, as the pane receives it: the same action run in
    // this process's window shows the very same text.
    void plainTextIsWhatThePaneShows()
    {
        const InstallFolder folder;
        const FixturePath fixtures;
        answerHardwareScripts(fixtures);
        recordAgreement(folder, QStringLiteral("1"));

        const Outcome outcome = runBatch({QStringLiteral("--install-dir"), folder.path(), QStringLiteral("hardware")});
        QVERIFY2(outcome.exitCode == 0, qPrintable(describe(outcome)));
        QVERIFY(outcome.out.endsWith('\n'));
        const QString printed = QString::fromUtf8(outcome.out.chopped(1));
        QVERIFY2(printed.contains(QStringLiteral("Intel(R) Core(TM) i7-8700K")), qPrintable(printed));

        MainWindow window;
        const QString before = paneText(window);
        window.CheckHardware();
        const QString shown = addedPaneText(before, paneText(window));
        QCOMPARE(withoutVolumeFigures(asPaneShows(printed)), withoutVolumeFigures(shown));
    }

    // SIGINT or SIGTERM stops the run as the close button stops the window:
    // the command is ended, the action cancelled, later actions never start.
    void interruptedByASignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void interruptedByASignal()
    {
        QFETCH(int, signal);
        const InstallFolder folder;
        const FixturePath fixtures;
        addHangingPowerShell(fixtures);
        recordAgreement(folder, QStringLiteral("1"));

        QProcess batch;
        batch.setProcessEnvironment(childEnvironment());
        batch.start(QStringLiteral(BATCH_BINARY),
                    {QStringLiteral("--install-dir"), folder.path(), QStringLiteral("software"), QStringLiteral("hardware")});
        QByteArray progress;
        QTRY_VERIFY_WITH_TIMEOUT((progress += batch.readAllStandardError()).contains("running: getProcessInfo"), 10000);
        QElapsedTimer clock;
        clock.start();
        ::kill(static_cast<pid_t>(batch.processId()), signal);
        QVERIFY(batch.waitForFinished(10000));
        QVERIFY2(clock.elapsed() < 5000, "the hanging command was not ended");
        progress += batch.readAllStandardError();
        QCOMPARE(batch.exitStatus(), QProcess::NormalExit);
        QVERIFY2(batch.exitCode() == 5, progress.constData());
        QVERIFY(progress.contains("software was cancelled"));
        QVERIFY(!progress.contains("hardware"));
        QVERIFY(batch.readAllStandardOutput().isEmpty());

        const QStringList reports = reportFiles(QStringLiteral("SupportLog_software_confliction_"));
        QCOMPARE(reports.size(), 1);
        bool cancelRecorded = false;
        for (const Record &record : recordsOf(reports.first())) {
            QVERIFY2(record.line != 464, "a finding was written from a command that was cut short");
            cancelRecorded = cancelRecorded || (record.file == QLatin1String("mainwindow.cpp") && record.line == 30);
        }
        QVERIFY(cancelRecorded);
    }

    // One run at a time per installation folder: a second runner, and a
    // second window, change nothing and end with 10 while a run holds the
    // folder; once that run is killed, the next run goes ahead.
    void secondRunInTheSameFolderIsTurnedAway()
    {
        HangingRun first;
        QVERIFY(first.start());
        const InstallFolder &folder = first.folder;

        const QString runLogs = childEnvironment().value(QStringLiteral("GLOG_log_dir"));
        const QMap<QString, QByteArray> runLogsBefore = snapshot(runLogs);
        const QMap<QString, QByteArray> before = snapshot(folder.path());
        const Outcome second = runBatch({QStringLiteral("--install-dir"), folder.path(), QStringLiteral("--accept-terms"),
                                         QStringLiteral("hardware")});
        QVERIFY2(second.exitCode == 10, qPrintable(describe(second)));
        QVERIFY(second.err.contains("SupportToolBatch: Another run of the Tessaly Render Support Tool is using the "
                                    "installation folder"));
        QVERIFY(second.out.isEmpty());
        // A copy: the program works in the folder it is in, and a link's is the target's.
        const QString window = installProgram(folder.path());
        QVERIFY(!window.isEmpty());
        const QMap<QString, QByteArray> withWindow = snapshot(folder.path());
        const Outcome secondWindow = runProgram(window, {});
        QVERIFY2(secondWindow.exitCode == 10, qPrintable(describe(secondWindow)));
        QCOMPARE(snapshot(folder.path()), withWindow);
        QFile::remove(window);
        QCOMPARE(snapshot(folder.path()), before);
        QCOMPARE(snapshot(runLogs), runLogsBefore);
        // Reading takes no lock.
        const Outcome reading = runBatch({QStringLiteral("--read"), folder.path()});
        QVERIFY2(reading.exitCode != 10 && !reading.err.contains("Another run"), qPrintable(describe(reading)));

        QVERIFY(first.killOutright());
        first.fixtures.addSilentShells();
        const Outcome next = runBatch({QStringLiteral("--install-dir"), folder.path(), QStringLiteral("software")});
        QVERIFY2(next.exitCode == 0, qPrintable(describe(next)));
    }

    // A run killed outright takes its commands with it: nothing it started
    // goes on running (and writing) in the installation folder.
    void childrenEndWithAKilledRun()
    {
        HangingRun run;
        QVERIFY(run.start());
        QTRY_COMPARE_WITH_TIMEOUT(childrenOf(run.batch.processId()).size(), 1, 5000);
        const qint64 child = childrenOf(run.batch.processId()).first();

        QVERIFY(run.killOutright());
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(child), 3000);
    }

    // A report the file system will not take in full is said on standard
    // error and in the pane, once, and the run ends with 9.
    void reportCutShortIsSaid()
    {
        const InstallFolder folder;
        const FixturePath fixtures;
        QByteArray processes;
        for (int i = 0; i < 500; ++i)
            processes += "Process=Tool" + QByteArray::number(i) + "     CPU_Usage_%=0     Memory_Usage_=1.5     \r\n";
        fixtures.addPowerShell({{windowscommands::asScript(windowscommands::conflictingProcesses()), processes}});
        recordAgreement(folder, QStringLiteral("1"));

        // Every file this run writes stops at 8 KB or so, as on a nearly full disk.
        const Outcome outcome =
            runProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("trap '' XFSZ; ulimit -f 16 && exec \"$0\" \"$@\""),
                                                   QStringLiteral(BATCH_BINARY), QStringLiteral("--install-dir"),
                                                   folder.path(), QStringLiteral("software")});
        QVERIFY2(outcome.exitCode == 9, qPrintable(describe(outcome)));
        const QStringList reports = reportFiles(QStringLiteral("SupportLog_software_confliction_"));
        QCOMPARE(reports.size(), 1);
        const QByteArray said = "The report " + QFile::encodeName(QFileInfo(reports.first()).absoluteFilePath())
            + " could not be written in full (the largest file this process may write was reached): it holds ";
        QCOMPARE(outcome.err.count(said), 1);
        QVERIFY(outcome.err.contains("SupportToolBatch: " + said));
        QCOMPARE(outcome.out.count(said), 1);
    }

    // --read takes an archive from anywhere: no installation, no terms, no
    // check; JSON lines with the keys in the order they are read; a
    // damaged archive gives exit status 6. Nothing is written either way.
    void readsAnArchiveAndWritesNothing()
    {
        const QTemporaryDir root;
        const QString good = root.filePath(QStringLiteral("zziplog.zip"));
        const QString damaged = root.filePath(QStringLiteral("damaged.zip"));
        QVERIFY(makeZip(good, {{QStringLiteral("logs_quillon/SupportTool/") + reportName(QStringLiteral("SupportLog_HardWare_")),
                                 reportFile(inspectionRecords(
                                     hardwareshaping::processor(QString()).records
                                     + hardwareshaping::physicalMemory(QStringLiteral("\r\n\r\nTotalMemorySize : 4\r\n")).records))}}));
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("PK\x03\x04 not really") > 0);
        file.close();

        QProcessEnvironment environment = childEnvironment();
        for (const char *name : {"HOME", "TMPDIR", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR",
                                 "GLOG_log_dir"})
            environment.insert(QLatin1String(name), root.path());
        const QStringList before = treeBelow(root.path());
        const auto read = [&](const QStringList &arguments) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.setWorkingDirectory(root.path());
            process.start(QStringLiteral(BATCH_BINARY), arguments);
            Outcome outcome;
            if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
                outcome = {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
            return outcome;
        };

        const Outcome json = read({QStringLiteral("--read"), good, QStringLiteral("--json")});
        QVERIFY2(json.exitCode == 0, qPrintable(describe(json)));
        QVERIFY2(json.out.startsWith("{\"finding\":\"memory-low\",\"severity\":\"warning\",\"title\":\"") && json.out.count('\n') == 1,
                 json.out.constData());
        const QJsonObject object = QJsonDocument::fromJson(json.out).object();
        QCOMPARE(object.keys(), (QStringList{"advice", "evidence", "finding", "severity", "title"}));
        QVERIFY(object.value("evidence").toString().contains(QStringLiteral("displaysystemrelatedinfo.cpp:143: TotalMemorySize : 4")));

        const Outcome refused = read({QStringLiteral("--read=") + damaged});
        QVERIFY2(refused.exitCode == 6 && refused.err.contains("cannot be read") && refused.out.isEmpty(),
                 qPrintable(describe(refused)));
        QCOMPARE(treeBelow(root.path()), before);
    }

    // --read takes the reports of earlier Windows builds, every line ended
    // by "\r\n" (a command's own lines by "\r\r\n"), as the same reports
    // with "\n": it prints the same findings, evidence and all.
    void readsReportsWithWindowsLineEnds()
    {
        const QTemporaryDir root;
        const QByteArray report = reportFile(inspectionRecords(
            hardwareshaping::processor(QString()).records
            + hardwareshaping::physicalMemory(QStringLiteral("\r\n\r\nTotalMemorySize     : 4\r\nAvailableMemorySize : 1\r\n"))
                  .records));
        const QString entry = QStringLiteral("logs_quillon/SupportTool/") + reportName(QStringLiteral("SupportLog_HardWare_"));
        const QDir folder(root.path());
        QVERIFY(folder.mkpath(QStringLiteral("lf")) && folder.mkpath(QStringLiteral("crlf")));
        QVERIFY(makeZip(folder.filePath(QStringLiteral("lf/zziplog.zip")), {{entry, report}}));
        QVERIFY(makeZip(folder.filePath(QStringLiteral("crlf/zziplog.zip")), {{entry, QByteArray(report).replace("\n", "\r\n")}}));
        for (const QStringList &options : {QStringList(), QStringList{QStringLiteral("--json")}}) {
            const QStringList arguments = QStringList{QStringLiteral("--read"), QStringLiteral("zziplog.zip")} + options;
            const Outcome lf = runBatchIn(folder.filePath(QStringLiteral("lf")), arguments);
            const Outcome crlf = runBatchIn(folder.filePath(QStringLiteral("crlf")), arguments);
            QVERIFY2(lf.exitCode == 0 && lf.out.contains("TotalMemorySize : 4") && !lf.out.contains('\r'),
                     qPrintable(describe(lf)));
            QCOMPARE(crlf.exitCode, 0);
            QCOMPARE(crlf.out, lf.out);
        }
    }

    // --read says which reports it could not read, in plain text and as
    // JSON; "--" lets a path begin with "-"; a folder it cannot list is
    // said as such.
    void readSaysWhatItCannotRead()
    {
        const QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("-reports"));
        QVERIFY(QDir().mkpath(folder));
        const auto put = [&folder](const QString &name, const QByteArray &content) {
            QFile file(folder + QLatin1Char('/') + name);
            return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
        };
        const QString unread = reportName(QStringLiteral("SupportLog_software_confliction_"));
        QVERIFY(put(reportName(QStringLiteral("SupportLog_HardWare_")),
                    reportFile(inspectionRecords(hardwareshaping::processor(QString()).records
                                                 + hardwareshaping::physicalMemory(QStringLiteral("\r\n\r\nTotalMemorySize : 4\r\n")).records))));
        QVERIFY(put(unread, QByteArray()));
        const QStringList arguments{QStringLiteral("--read"), QStringLiteral("--"), QDir(root.path()).relativeFilePath(folder)};
        const auto read = [&root](const QStringList &arguments) { return runBatchIn(root.path(), arguments); };

        const Outcome text = read(arguments);
        QVERIFY2(text.exitCode == 0 && text.out.contains("\nReports not understood: " + unread.toUtf8() + " (it is empty)\n"),
                 qPrintable(describe(text)));
        const Outcome json = read(QStringList{QStringLiteral("--json")} + arguments);
        QVERIFY2(json.exitCode == 0, qPrintable(describe(json)));
        QVERIFY2(json.out.endsWith("\n{\"report_not_understood\":\"" + unread.toUtf8() + "\",\"why\":\"it is empty\"}\n"),
                 json.out.constData());

        // Only reports it cannot read: nothing to print, and why.
        QVERIFY(QFile::remove(folder + QLatin1Char('/') + reportName(QStringLiteral("SupportLog_HardWare_"))));
        const Outcome none = read(arguments);
        QVERIFY2(none.exitCode == 6 && none.out.isEmpty()
                     && none.err.contains("holds no report the tool can read: " + unread.toUtf8() + " (it is empty)"),
                 qPrintable(describe(none)));

        // A folder that cannot be listed (read as nobody when the tests run
        // as root, whom permissions do not stop).
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions()));
        QFile::setPermissions(root.path(), QFile::permissions(root.path()) | QFileDevice::ExeOther);
        const QStringList listing{QStringLiteral("--read"), folder};
        const Outcome closed = ::geteuid() == 0
            ? runProgram(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                                               QStringLiteral("--clear-groups"), QStringLiteral(BATCH_BINARY)}
                                                       + listing)
            : runBatch(listing);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY2(closed.exitCode == 6 && closed.err.contains(QFile::encodeName(folder) + " cannot be read: Permission denied"),
                 qPrintable(describe(closed)));

        // Named like a report but no plain file: named, never opened (a link
        // could lead anywhere, a pipe would wait for a writer forever).
        const QString odd = root.filePath(QStringLiteral("odd"));
        const QString elsewhere = root.filePath(QStringLiteral("elsewhere.txt"));
        QFile report(elsewhere);
        QVERIFY(report.open(QIODevice::WriteOnly)
                && report.write(reportFile(inspectionRecords(hardwareshaping::processor(QString()).records))) > 0);
        report.close();
        const QString pipe = reportName(QStringLiteral("SupportLog_HardWare_"));
        QVERIFY(QDir().mkpath(odd) && makePipe(odd + QLatin1Char('/') + pipe));
        QVERIFY(QFile::link(elsewhere, odd + QLatin1Char('/') + unread));
        const Outcome notPlain = read({QStringLiteral("--read"), odd});
        QVERIFY2(notPlain.exitCode == 6 && notPlain.err.contains(pipe.toUtf8() + " (it is not a plain file)")
                     && notPlain.err.contains(unread.toUtf8() + " (it is not a plain file)"),
                 qPrintable(describe(notPlain)));
    }

    // --read of several paths and of a folder of archives: one block per
    // source in the order given (a folder's in name order), each what --read
    // prints of it alone; a refused one among them is printed and said and
    // the others still read, with exit status 6. As JSON every line names
    // its source; --summary counts the sources that show each code.
    void readsManySources()
    {
        const QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("week/sub")));
        const auto archive = [&root](const QString &path, const char *total, const char *available) {
            const QString memory = QStringLiteral("\r\n\r\nTotalMemorySize     : %1\r\nAvailableMemorySize : %2\r\n")
                                       .arg(QLatin1String(total), QLatin1String(available));
            return makeZip(root.filePath(path),
                           {{QStringLiteral("logs_quillon/SupportTool/") + reportName(QStringLiteral("SupportLog_HardWare_")),
                             reportFile(inspectionRecords(hardwareshaping::processor(QString()).records
                                                          + hardwareshaping::physicalMemory(memory).records))}});
        };
        QVERIFY(archive(QStringLiteral("week/b.zip"), "4", "3"));
        QVERIFY(archive(QStringLiteral("week/a.zip"), "4", "1"));
        QVERIFY(archive(QStringLiteral("week/sub/c.zip"), "16", "8"));
        QVERIFY(archive(QStringLiteral("extra.zip"), "16", "1"));
        QFile damaged(root.filePath(QStringLiteral("week/bad.zip")));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("PK\x03\x04 not really") > 0);
        damaged.close();
        const auto read = [&root](const QStringList &arguments) { return runBatchIn(root.path(), arguments); };
        const QStringList paths{QStringLiteral("--read"), QStringLiteral("week"), QStringLiteral("extra.zip"),
                                QStringLiteral("--summary")};

        const Outcome text = read(paths);
        QVERIFY2(text.exitCode == 6, qPrintable(describe(text)));
        const Outcome alone = read({QStringLiteral("--read"), QStringLiteral("week/a.zip")});
        const Outcome refused = read({QStringLiteral("--read"), QStringLiteral("week/bad.zip")});
        QVERIFY2(alone.exitCode == 0 && refused.exitCode == 6 && refused.out.isEmpty(), qPrintable(describe(refused)));
        const QByteArray why = refused.err.mid(refused.err.indexOf(": ") + 2).trimmed();
        QVERIFY2(text.out.startsWith("==> week/a.zip <==\n" + alone.out + "\n==> week/b.zip <==\n"), text.out.constData());
        QVERIFY2(text.out.contains("\n\n==> week/bad.zip <==\nRefused: " + why + "\n\n==> week/sub/c.zip <==\n"),
                 text.out.constData());
        QVERIFY(text.err.contains("SupportToolBatch: " + why + "\n"));
        QVERIFY2(text.out.endsWith("\n==> extra.zip <==\n" + read({QStringLiteral("--read"), QStringLiteral("extra.zip")}).out
                                   + "\nSources: 5, read: 4, refused: 1\n"
                                     "Sources  Severity  Finding\n"
                                     "      2  warning   memory-low\n"
                                     "      2  warning   memory-available-low\n"),
                 text.out.constData());

        const Outcome json = read(paths + QStringList{QStringLiteral("--json")});
        QVERIFY2(json.exitCode == 6, qPrintable(describe(json)));
        QStringList sources;
        QList<QByteArray> lines = json.out.split('\n');
        QVERIFY(lines.takeLast().isEmpty());
        for (const QByteArray &line : lines) {
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            QVERIFY2(!object.isEmpty(), line.constData());
            if (line.startsWith("{\"source\":"))
                sources << object.value(QStringLiteral("source")).toString() + QLatin1Char(' ')
                               + object.value(object.contains(QStringLiteral("error")) ? QStringLiteral("error")
                                                                                       : QStringLiteral("finding"))
                                     .toString();
        }
        QCOMPARE(sources, (QStringList{QStringLiteral("week/a.zip memory-low"), QStringLiteral("week/a.zip memory-available-low"),
                                       QStringLiteral("week/b.zip memory-low"), QStringLiteral("week/bad.zip ") + QString::fromUtf8(why.chopped(1)),
                                       QStringLiteral("extra.zip memory-available-low")}));
        QVERIFY2(json.out.endsWith("{\"summary\":\"memory-low\",\"severity\":\"warning\",\"sources\":2}\n"
                                   "{\"summary\":\"memory-available-low\",\"severity\":\"warning\",\"sources\":2}\n"
                                   "{\"sources_read\":4,\"sources_refused\":1}\n"),
                 json.out.constData());

        // A folder holding one archive is a folder of archives all the same.
        const Outcome folder = read({QStringLiteral("--read"), QStringLiteral("week/sub")});
        QVERIFY2(folder.exitCode == 0 && folder.out.startsWith("==> week/sub/c.zip <==\nTessaly Render Support Tool findings: 0\n"),
                 qPrintable(describe(folder)));
    }

    // Reading an archive of large reports holds a bounded part of them: four
    // reports of 16 MB, their records repeated, take --read far less memory
    // than one of them.
    void readHoldsLittleOfLargeReports()
    {
        const QString time = QStringLiteral("/usr/bin/time");
        if (!QFileInfo(time).isExecutable())
            QSKIP("no /usr/bin/time to tell the peak memory of a program");
        const QTemporaryDir root;
        const QString archive = root.filePath(QStringLiteral("zziplog.zip"));
        const QByteArray report = reportFile(inspectionRecords(
            hardwareshaping::processor(QString()).records
            + hardwareshaping::physicalMemory(QStringLiteral("\r\n\r\nTotalMemorySize : 4\r\n")).records));
        const int firstRecord = report.indexOf("\nI") + 1;
        QByteArray large = report;
        while (large.size() + report.size() - firstRecord <= findings::kMaxReportBytes)
            large += report.mid(firstRecord);
        ZipEntries entries;
        for (int i = 0; i < 4; ++i)
            entries.append({QStringLiteral("logs_quillon/SupportTool/") + reportName(QStringLiteral("SupportLog_HardWare_"), i), large});
        QVERIFY(makeZip(archive, entries));

        const Outcome outcome = runProgram(time, {QStringLiteral("-f"), QStringLiteral("peak %M"), QStringLiteral(BATCH_BINARY),
                                                  QStringLiteral("--read"), archive});
        QVERIFY2(outcome.exitCode == 0 && outcome.out.contains("[warning] memory-low\n"), qPrintable(describe(outcome)));
        const long peakKb = outcome.err.mid(outcome.err.lastIndexOf("peak ") + 5).trimmed().toLong();
        // Under AddressSanitizer freed memory is held back in quarantine, so
        // the peak says nothing there.
#ifndef __SANITIZE_ADDRESS__
        QVERIFY2(peakKb > 0 && peakKb < 48 * 1024, qPrintable(describe(outcome)));
#else
        QVERIFY2(peakKb > 0, qPrintable(describe(outcome)));
#endif
    }

    // --shareable: the zip step is followed by the shareable copy beside the
    // archive, and the pane says where it went; a copy that cannot be
    // written is said on standard error and ends the run with status 7, a
    // zip step that fell short with status 8.
    void shareableCopyAfterZip()
    {
        const InstallFolder folder;
        const QTemporaryDir home;
        recordAgreement(folder, QStringLiteral("1"));
        // A scripted run opens no file browser on the archive, even where a
        // desktop session seems to exist.
        const FixturePath fixtures;
        const QString browsed = fixtures.path() + QStringLiteral("/browsed");
        fixtures.addScript(QStringLiteral("xdg-open"), "touch '" + QFile::encodeName(browsed) + "'");
        fixtures.addSilentShells();
        QProcessEnvironment environment = childEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/.local/share"));
        const QStringList arguments{QStringLiteral("--install-dir"), folder.path(), QStringLiteral("--shareable"),
                                    QStringLiteral("zip")};
        const QString copy = folder.filePath(QStringLiteral("zziplog_shareable.zip"));

        // Without the option, none. (The action after the zip step gives a
        // browser started at its end the time to show itself.)
        const Outcome plain =
            runProgram(QStringLiteral(BATCH_BINARY), QStringList(arguments).mid(0, 2) << "zip" << "software", environment);
        QVERIFY2(plain.exitCode == 0 && QFileInfo::exists(folder.filePath(QStringLiteral("zziplog.zip"))), qPrintable(describe(plain)));
        QVERIFY(!QFileInfo::exists(copy));
        QVERIFY(!QFileInfo::exists(browsed));

        const Outcome made = runProgram(QStringLiteral(BATCH_BINARY), arguments, environment);
        QVERIFY2(made.exitCode == 0, qPrintable(describe(made)));
        QVERIFY2(made.out.contains("\nShareable copy without personal data: " + copy.toUtf8() + " ("),
                 qPrintable(describe(made)));
        QVERIFY(QFileInfo(copy).isFile());
        // The zip report names the per-user log folder below the home folder,
        // whose last part the tool takes for a user name.
        const QByteArray map = readFile(folder.filePath(QStringLiteral("zziplog_shareable_map.txt")));
        QVERIFY2(map.contains("\tuser name\t" + QFile::encodeName(QDir(home.path()).dirName()) + "\n"), map.constData());

        QVERIFY(QFile::remove(copy) && QDir().mkdir(copy));
        const Outcome refused = runProgram(QStringLiteral(BATCH_BINARY), arguments, environment);
        QVERIFY2(refused.exitCode == 7 && refused.err.contains("SupportToolBatch: The shareable copy could not be written: "),
                 qPrintable(describe(refused)));
        QVERIFY(QFileInfo(copy).isDir());

        // A zip step that writes no archive of this run ends the run with
        // status 8, said on standard error; a missing shareable copy still
        // comes first.
        folder.writeFile(QStringLiteral("quillon/Content/7z.exe"), "#!/bin/sh\nexit 2\n");
        QFile::setPermissions(folder.filePath(QStringLiteral("quillon/Content/7z.exe")), QFile::ReadOwner | QFile::ExeOwner);
        const Outcome failed = runProgram(QStringLiteral(BATCH_BINARY), QStringList(arguments).mid(0, 2) << "zip", environment);
        QVERIFY2(failed.exitCode == 8 && failed.err.contains("SupportToolBatch: Zipping failed: "), qPrintable(describe(failed)));
        QCOMPARE(runProgram(QStringLiteral(BATCH_BINARY), arguments, environment).exitCode, 7);
    }

    // The findings action reads the installation's newest reports and runs
    // no check; without a report it ends with exit status 6.
    void findingsActionReadsTheNewestReports()
    {
        const InstallFolder folder;
        const FixturePath fixtures;
        const QString mark = addMarkingPowerShell(fixtures);
        recordAgreement(folder, QStringLiteral("1"));
        const QStringList arguments{QStringLiteral("--install-dir"), folder.path(), QStringLiteral("findings")};

        const Outcome none = runBatch(arguments);
        QVERIFY2(none.exitCode == 6 && none.err.contains("no report"), qPrintable(describe(none)));

        folder.writeFile(QStringLiteral("logs/SupportTool/") + reportName(QStringLiteral("SupportLog_software_confliction_")),
                         reportFile(inspectionRecords(softwareshaping::conflictingProcesses(QString::fromUtf8(kProcessList)).records)));
        const Outcome outcome = runBatch(arguments);
        QVERIFY2(outcome.exitCode == 0, qPrintable(describe(outcome)));
        QCOMPARE(QString::fromUtf8(outcome.out), findings::fileText(findings::review(findings::installationReports())));
        QVERIFY2(outcome.out.contains("conflicting-software"), outcome.out.constData());
        QVERIFY(!QFile::exists(mark));
    }

    // Installed into a folder of its own, the tool runs from there: the
    // runner finds the stand-ins beside it and the reports land in the
    // installation's report folder; the program starts there too.
    void installedLayoutRuns()
    {
        QTemporaryDir prefix;
        const Outcome install = runProgram(QStringLiteral(CMAKE_COMMAND_PATH),
                                           {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                                            QStringLiteral("--prefix"), prefix.path()});
        QVERIFY2(install.exitCode == 0, qPrintable(describe(install)));
        const QDir dir(prefix.path());
        for (const char *program : {"SupportTool", "SupportToolBatch", "SupportToolShareable", "standins/powershell",
                                    "standins/cmd", "standins/d3d12probe"})
            QVERIFY2(QFileInfo(dir.filePath(QLatin1String(program))).isExecutable(), program);

        // No fixtures and no stand-ins of the build on the path.
        QProcessEnvironment environment = childEnvironment();
        QStringList path = environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'));
        path.removeAll(QStringLiteral(STANDIN_DIR));
        environment.insert(QStringLiteral("PATH"), path.join(QLatin1Char(':')));

        const Outcome run = runProgram(dir.filePath(QStringLiteral("SupportToolBatch")),
                                       {QStringLiteral("--accept-terms"), QStringLiteral("software")}, environment);
        QVERIFY2(run.exitCode == 0, qPrintable(describe(run)));
        const QStringList reports = QDir(dir.filePath(QStringLiteral("logs/SupportTool")))
                                        .entryList({QStringLiteral("SupportLog_software_confliction_*")}, QDir::Files);
        QCOMPARE(reports.size(), 1);
        // The stand-in answered: no record of a program that could not start.
        const QList<Record> records =
            recordsOf(dir.filePath(QStringLiteral("logs/SupportTool/") + reports.first()));
        QVERIFY(!records.isEmpty());
        for (const Record &record : records)
            QVERIFY2(record.line != 41, qPrintable(record.text));

        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("SUPPORTTOOL_CLOSE_AFTER_MS"), QStringLiteral("100"));
        const Outcome program = runProgram(dir.filePath(QStringLiteral("SupportTool")), {}, environment);
        QVERIFY2(program.exitCode == 0, qPrintable(describe(program)));
    }
};

QTEST_MAIN(BatchRunnerTest)
#include "tst_batchrunner.moc"
