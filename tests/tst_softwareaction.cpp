// The software-conflict action in the real window: its report file, the
// order of its records, the pane, the button guard while the command runs,
// and closing the window in the middle of it.

#include "inspection/windowscommands.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "recordsummary.h"
#include "slowpowershell.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

using namespace testsupport;

namespace {
const QString kReportName = QStringLiteral("SupportLog_software_confliction_");
const QByteArray kProcessList =
    "Process=GamePP                    CPU_Usage_%=0            Memory_Usage_=12.5            \r\n"
    "Process=wwbizsrv                  CPU_Usage_%=1            Memory_Usage_=8.25            \r\n";

int enabledButtons(MainWindow &window)
{
    int count = 0;
    for (QPushButton *button : actionButtons(window))
        count += button->isEnabled() ? 1 : 0;
    return count;
}

QProgressBar *busyBar(MainWindow &window) { return window.findChild<QProgressBar *>(QStringLiteral("barProgress")); }
QTextEdit *pane(MainWindow &window) { return window.findChild<QTextEdit *>(QStringLiteral("textEdit")); }
QPushButton *softwareButton(MainWindow &window)
{
    return window.findChild<QPushButton *>(QStringLiteral("softwareBtn"));
}

QString inspection(char level, int line)
{
    return QStringLiteral("%1 displaysystemrelatedinfo.cpp:%2").arg(QLatin1Char(level)).arg(line);
}

int countOf(const QByteArray &content, const QByteArray &part) { return content.count(part); }
} // namespace

class SoftwareActionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::initWindowTests();
    }

    void oneRun()
    {
        InstallFolder folder;
        FixturePath fixtures;
        addDelayedPowerShell(fixtures, 0.6, kProcessList);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString description = pane(window)->toPlainText();
        QVERIFY(!description.isEmpty());

        int enabledWhileRunning = -1;
        bool busyWhileRunning = false;
        QTimer::singleShot(200, &window, [&] {
            enabledWhileRunning = enabledButtons(window);
            busyWhileRunning = busyBar(window)->isVisible();
        });
        softwareButton(window)->click();

        QCOMPARE(enabledWhileRunning, 0);
        QVERIFY(busyWhileRunning);
        QCOMPARE(enabledButtons(window), 6);
        QVERIFY(!busyBar(window)->isVisible());
        QCOMPARE(powerShellArguments(fixtures), windowscommands::conflictingProcesses());

        const QStringList files = reportFiles(kReportName);
        QCOMPARE(files.size(), 1);
        // Only reports in the folder: a link to the latest one would reach
        // the archive as a second copy.
        QCOMPARE(QDir(QStringLiteral("logs/SupportTool")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
        const QRegularExpression name(
            QStringLiteral("^%1\\d{8}-\\d{6}\\.%2$").arg(kReportName).arg(QCoreApplication::applicationPid()));
        QVERIFY2(name.match(QFileInfo(files.first()).fileName()).hasMatch(), qPrintable(files.first()));

        const QByteArray content = readFile(files.first());
        const QStringList header = headerLines(content);
        QVERIFY2(QRegularExpression(QStringLiteral("^Log file created at: \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                     .match(header.value(0))
                     .hasMatch(),
                 qPrintable(header.value(0)));
        QVERIFY(header.value(1).startsWith(QStringLiteral("Running on machine: ")));
        QVERIFY(header.value(2).startsWith(QStringLiteral("Running duration (h:mm:ss): ")));
        QCOMPARE(header.value(3),
                 QStringLiteral("Log line format: [IWEF]yyyymmdd hh:mm:ss.uuuuuu threadid file:line] msg"));

        const QList<Record> written = parseRecords(content);
        QCOMPARE(placesOf(written), QStringList({inspection('W', 46), inspection('I', 464), inspection('I', 468)}));
        QCOMPARE(written.at(0).text, QString());
        QCOMPARE(written.at(1).text, QStringLiteral("CHECKING PROCESS INFORMATION......"));
        const QString list = QString::fromUtf8(kProcessList).remove(QLatin1Char('\r'));
        QCOMPARE(written.at(2).text, "\n**NOTICE: wwbizsrv is a background process of Ali Wang Wang**"
                                     "\n**Process which starts with GPP is GamePP related process**\n" +
                                         list + QString(96, QLatin1Char('-')));

        // The list is appended below the description as one new paragraph,
        // without the notices, and scrolled into view.
        QCOMPARE(pane(window)->toPlainText(), description + QLatin1Char('\n') + list);
        const QScrollBar *scroll = pane(window)->verticalScrollBar();
        QCOMPARE(scroll->value(), scroll->maximum());
    }

    void twoRunsShareOneReport()
    {
        InstallFolder folder;
        FixturePath fixtures;
        fixtures.addPowerShell({{windowscommands::asScript(windowscommands::conflictingProcesses()), kProcessList}});
        MainWindow window;
        window.CheckSoftwareConfliction();
        window.CheckSoftwareConfliction();

        const QStringList files = reportFiles(kReportName);
        QCOMPARE(files.size(), 1);
        const QByteArray content = readFile(files.first());
        QCOMPARE(countOf(content, "Log file created at: "), 1);
        const QStringList series = {inspection('W', 46), inspection('I', 464), inspection('I', 468)};
        QCOMPARE(placesOf(parseRecords(content)), series + series);
    }

    void anotherReportBetweenRunsGivesTwoFiles()
    {
        InstallFolder folder;
        FixturePath fixtures;
        fixtures.addPowerShell({});
        MainWindow window;
        const QString description = pane(window)->toPlainText();
        window.CheckSoftwareConfliction();
        // Nothing found: the empty list is still appended as a paragraph of its own.
        QCOMPARE(pane(window)->toPlainText(), description + QLatin1Char('\n'));
        records::switchReport(QStringLiteral("./logs/SupportTool/SupportLog_HardWare_"));
        records::info(records::kInspection, 1, QStringLiteral("another action's record"));
        QTest::qWait(1100); // a file name carries the second it was made in
        window.CheckSoftwareConfliction();

        const QStringList files = reportFiles(kReportName);
        QCOMPARE(files.size(), 2);
        QVERIFY(files.at(0) != files.at(1));
        for (const QString &file : files) {
            QCOMPARE(placesOf(recordsOf(file)),
                     QStringList({inspection('W', 46), inspection('I', 464), inspection('I', 466)}));
        }
        QCOMPARE(reportFiles(QStringLiteral("SupportLog_HardWare_")).size(), 1);
    }

    // Closing while the command runs stops it, writes why, keeps every
    // finding out of the report and the pane, and closes once the action
    // has unwound.
    void closeDuringTheAction()
    {
        InstallFolder folder;
        FixturePath fixtures;
        addHangingPowerShell(fixtures);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString description = pane(window)->toPlainText();

        bool closedAtOnce = true;
        QTimer::singleShot(300, &window, [&] { closedAtOnce = window.close(); });
        QElapsedTimer clock;
        clock.start();
        softwareButton(window)->click();

        QVERIFY2(clock.elapsed() < 5000, "the running command was not stopped");
        QVERIFY(!closedAtOnce);
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(!cancellation::requested());
        QCOMPARE(pane(window)->toPlainText(), description);

        const QStringList files = reportFiles(kReportName);
        QCOMPARE(files.size(), 1);
        const QList<Record> written = recordsOf(files.first());
        QCOMPARE(placesOf(written),
                 QStringList({QStringLiteral("W mainwindow.cpp:30"), inspection('W', 44), inspection('W', 46)}));
        QVERIFY(!readFile(files.first()).contains("There is no conflicting software running.."));
    }

    void closeWhenIdleIsImmediate()
    {
        InstallFolder folder;
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
    }

};

QTEST_MAIN(SoftwareActionTest)
#include "tst_softwareaction.moc"
