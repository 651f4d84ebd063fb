// The hardware action end to end in the real window: a fixture PowerShell
// answers every script with a Windows-shaped sample, and the pane and the
// hardware report are read back.

#include "cancellation.h"
#include "graphicsshaping.h"
#include "hardwaresamples.h"
#include "hardwareshaping.h"
#include "mainwindow.h"
#include "records.h"
#include "reportprefixes.h"
#include "testsupport.h"

// moc loses its way in the raw string literals of the command lines.
#ifndef Q_MOC_RUN
#include "windowscommands.h"
#endif

#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStorageInfo>
#include <QTextEdit>
#include <QThread>
#include <QtTest>

using testsupport::Record;

namespace {

const QString kReportName = QStringLiteral("SupportLog_HardWare_");
constexpr int kRunnerWarningLine = 46;
constexpr int kUpdateRecordLine = 313;

QString text(const QByteArray &bytes) { return QString::fromUtf8(bytes); }

void answerEveryHardwareScript(const testsupport::FixturePath &fixtures)
{
    using namespace windowscommands;
    fixtures.addPowerShell({{asScript(processor()), hardwaresamples::kProcessor},
                            {asScript(videoControllers()), hardwaresamples::kVideoControllers},
                            {asScript(adapterMemory()), hardwaresamples::kAdapterMemory},
                            {asScript(gpuMemoryUsage()), hardwaresamples::kGpuMemoryUsage},
                            {asScript(gpuEngineUtilization()), hardwaresamples::kGpuEngineUtilization},
                            {asScript(tdrValues()), hardwaresamples::kTdrValues},
                            {asScript(physicalMemory()), hardwaresamples::kPhysicalMemory},
                            {asScript(pageFile()), hardwaresamples::kPageFile},
                            {asScript(physicalDisks()), hardwaresamples::kPhysicalDisks}});
}

// The check texts the samples make, in the order the action appends them;
// the disk text is left out because the volumes are this machine's own.
struct ExpectedTexts
{
    QString processor, gpu, tdr, memory, pageFile, physicalDisks, screens;
};

ExpectedTexts expectedTexts()
{
    QVector<QSize> sizes;
    for (const QScreen *screen : QGuiApplication::screens())
        sizes.append(screen->geometry().size());
    return {hardwareshaping::processor(text(hardwaresamples::kProcessor)).text,
            hardwareshaping::graphicsAdapter(
                hardwareshaping::adapterText(text(hardwaresamples::kVideoControllers), text(hardwaresamples::kAdapterMemory)),
                hardwareshaping::memoryUsageText(text(hardwaresamples::kGpuMemoryUsage)),
                hardwareshaping::engineUtilizationDetail(text(hardwaresamples::kGpuEngineUtilization)))
                .text,
            graphicsshaping::tdrValues(text(hardwaresamples::kTdrValues)).text,
            hardwareshaping::physicalMemory(text(hardwaresamples::kPhysicalMemory)).text,
            hardwareshaping::pageFile(text(hardwaresamples::kPageFile)).text,
            hardwareshaping::disks(text(hardwaresamples::kPhysicalDisks), {}).text + QLatin1Char('\n'),
            hardwareshaping::screens(sizes).text};
}

// A record as the report shows it: the library drops one line end closing a text.
QString asReported(const QString &recordText)
{
    return recordText.endsWith(QLatin1Char('\n')) ? recordText.chopped(1) : recordText;
}

QString describe(const Record &record)
{
    return QStringLiteral("%1 %2:%3 %4").arg(record.level).arg(record.file).arg(record.line).arg(record.text.left(60));
}

// The update check belongs to the same action but has its own tests: drop
// its record and the runner warning of its command.
QList<Record> withoutUpdateCheck(QList<Record> found)
{
    for (int i = 0; i < found.size(); ++i) {
        if (found.at(i).level == QLatin1Char('I') && found.at(i).line == kUpdateRecordLine) {
            found.removeAt(i);
            if (i > 0 && found.at(i - 1).level == QLatin1Char('W') && found.at(i - 1).line == kRunnerWarningLine)
                found.removeAt(i - 1);
            break;
        }
    }
    return found;
}

void compareRecord(const Record &found, QChar level, int line, const QString &text)
{
    QVERIFY2(found.level == level && found.line == line && found.file == QLatin1String(records::kInspection),
             qPrintable(describe(found) + QStringLiteral(" instead of %1 %2").arg(level).arg(line)));
    QCOMPARE(found.text, asReported(text));
}

// Compares the records from index from on with what one run on the samples
// must leave, and tells how many records the run took.
void compareOneRun(const QList<Record> &all, int from, int &taken)
{
    const QList<Record> run = withoutUpdateCheck(all.mid(from));
    const ExpectedTexts texts = expectedTexts();
    struct Step
    {
        char level;
        int line;
        QString text;
    };
    const QList<Step> steps = {
        {'W', kRunnerWarningLine, {}},
        {'I', 76, QStringLiteral("CHECKING CPU INFORMATION......\n") + texts.processor + records::separator()},
        {'W', kRunnerWarningLine, {}},
        {'W', kRunnerWarningLine, {}},
        {'W', kRunnerWarningLine, {}},
        {'I', 120, hardwareshaping::vendorToolMissingRecord().text},
        {'W', kRunnerWarningLine, {}},
        {'I', 126, QStringLiteral("CHECKING GPU INFORMATION......\n") + texts.gpu + records::separator()},
        {'W', kRunnerWarningLine, {}},
        {'I', 324, QStringLiteral("CHECKING GRAPHIC DRIVER TDR INFORMATION......\n") + texts.tdr + records::separator()},
        {'W', kRunnerWarningLine, {}},
        {'I', 143, QStringLiteral("MEMORY CHECKING.......\n") + texts.memory + records::separator()},
        {'W', kRunnerWarningLine, {}},
        {'I', 162, QStringLiteral("CHECKING VIRTURAL MEMMORY INFORMATION......\n") + texts.pageFile + records::separator()},
        {'I', 168, hardwareshaping::diskNoticeRecord().text},
        {'W', kRunnerWarningLine, {}},
        {'I', 182, QStringLiteral("Physical disk drive Point of view:\n") + texts.physicalDisks},
    };
    // The steps, the volumes, the screens and at least two Direct3D 12 records.
    QVERIFY2(run.size() >= steps.size() + 4, qPrintable(QStringLiteral("only %1 records").arg(run.size())));
    int next = 0;
    for (const Step &step : steps) {
        compareRecord(run.at(next++), QLatin1Char(step.level), step.line, step.text);
        if (QTest::currentTestFailed())
            return;
    }

    // The volumes are this machine's: their paths and totals in order (the
    // space available may move while the test runs).
    const Record &logical = run.at(next++);
    QCOMPARE(logical.line, 202);
    QVERIFY(logical.text.startsWith(QStringLiteral("Logical disk drive point of view:\n")));
    QVERIFY(logical.text.endsWith(QLatin1Char('\n') + records::bareSeparator()));
    const QStringList volumeLines = logical.text.split(QLatin1Char('\n')).mid(1, logical.text.count(QLatin1Char('\n')) - 1);
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    QCOMPARE(volumeLines.size(), volumes.size());
    for (int i = 0; i < volumes.size(); ++i) {
        const QString start = QStringLiteral("Path: %1 TotalGBytes: %2GB UsedGBytes: ")
                                  .arg(volumes.at(i).rootPath())
                                  .arg(volumes.at(i).bytesTotal() / (Q_INT64_C(1) << 30));
        QVERIFY2(volumeLines.at(i).startsWith(start) && volumeLines.at(i).endsWith(QStringLiteral("GB")),
                 qPrintable(volumeLines.at(i)));
    }

    compareRecord(run.at(next++), QLatin1Char('I'), 300,
                  QStringLiteral("CHECKING SCREEN SIZE INFORMATION......\n") + texts.screens + records::separator());
    if (QTest::currentTestFailed())
        return;

    // Which Direct3D 12 branch depends on this machine's driver; each is a
    // complete answer in its own words.
    compareRecord(run.at(next++), QLatin1Char('I'), 483, QStringLiteral("CHECKING D3D12......"));
    if (QTest::currentTestFailed())
        return;
    const Record &level = run.at(next++);
    if (level.line == 486) {
        compareRecord(level, QLatin1Char('I'), 486, QStringLiteral("D3D_FEATURE_LEVEL_12_0 not support"));
    } else {
        compareRecord(level, QLatin1Char('I'), 489, QStringLiteral("D3D_FEATURE_LEVEL_12_0 support"));
        if (QTest::currentTestFailed())
            return;
        QVERIFY(next < run.size());
        const Record &rayTracing = run.at(next++);
        const bool supported = rayTracing.line == 495;
        compareRecord(rayTracing, QLatin1Char('I'), supported ? 495 : 499,
                      (supported ? QStringLiteral("D3D12_FEATURE_DATA_D3D12_OPTIONS5 support")
                                 : QStringLiteral("D3D12_FEATURE_DATA_D3D12_OPTIONS5 not support"))
                          + records::separator());
    }
    // Counted back with the update check's records, which come before these.
    taken = next + (all.size() - from - run.size());
}

} // namespace

class HardwareActionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::initLogging();
        if (QFile::exists(windowscommands::vendorToolPath()))
            QSKIP("the GPU vendor's tool is installed here; its answers are this machine's own");
    }

    void appendsEightTextsAndWritesTheReport()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        answerEveryHardwareScript(fixtures);

        MainWindow window;
        window.show();
        auto *pane = window.findChild<QTextEdit *>(QStringLiteral("textEdit"));
        auto *bar = window.findChild<QProgressBar *>(QStringLiteral("barProgress"));
        QVERIFY(pane && bar);
        const QString before = pane->toPlainText();

        // Looked at from inside the first command's wait.
        int disabledButtons = -1;
        bool barShown = false;
        QTimer::singleShot(0, &window, [&] {
            disabledButtons = 0;
            for (QPushButton *each : window.findChildren<QPushButton *>())
                disabledButtons += each->isEnabled() ? 0 : 1;
            barShown = bar->isVisible();
        });
        window.CheckHardware();

        QCOMPARE(disabledButtons, 6);
        QVERIFY(barShown);
        for (QPushButton *each : window.findChildren<QPushButton *>())
            QVERIFY(each->isEnabled());
        QVERIFY(!bar->isVisible());

        const QStringList files = testsupport::reportFiles(kReportName);
        QCOMPARE(files.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^logs/SupportTool/SupportLog_HardWare_\\d{8}-\\d{6}\\.%1$")
                                       .arg(QCoreApplication::applicationPid()))
                    .match(files.first())
                    .hasMatch());
        const QList<Record> found = testsupport::recordsOf(files.first());
        int taken = 0;
        compareOneRun(found, 0, taken);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(taken, found.size());

        // Eight paragraphs: the disk text is the report's physical lines and
        // volume lines, the update text whatever that check found.
        const ExpectedTexts texts = expectedTexts();
        const Record &logical = *std::find_if(found.begin(), found.end(), [](const Record &r) { return r.line == 202; });
        const QString volumeText = logical.text.mid(logical.text.indexOf(QLatin1Char('\n')) + 1)
                                       .chopped(records::bareSeparator().size() + 1);
        const QString diskText = texts.physicalDisks + volumeText;
        const QString appended = pane->toPlainText().mid(before.size());
        const QStringList expectedStart = {texts.processor, texts.gpu, texts.tdr, texts.memory, texts.pageFile, diskText,
                                           texts.screens};
        const QString start = QLatin1Char('\n') + expectedStart.join(QLatin1Char('\n')) + QLatin1Char('\n');
        QVERIFY2(appended.startsWith(start), qPrintable(appended));
        QVERIFY2(!appended.mid(start.size()).contains(QLatin1Char('\n')), "more than eight paragraphs were appended");
    }

    void twiceInARowShareOneReport()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        answerEveryHardwareScript(fixtures);
        MainWindow window;

        window.CheckHardware();
        window.CheckHardware();

        const QStringList files = testsupport::reportFiles(kReportName);
        QCOMPARE(files.size(), 1);
        const QByteArray content = testsupport::readFile(files.first());
        QCOMPARE(content.count("Log file created at: "), 1);
        const QList<Record> found = testsupport::parseRecords(content);
        int first = 0;
        compareOneRun(found, 0, first);
        if (QTest::currentTestFailed())
            return;
        int second = 0;
        compareOneRun(found, first, second);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(first + second, found.size());
    }

    void anotherReportInBetweenStartsANewOne()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        answerEveryHardwareScript(fixtures);
        MainWindow window;

        window.CheckHardware();
        // Report names carry the second they were made in.
        QThread::msleep(1100);
        records::switchReport(reportprefix::softwareConfliction());
        records::info(records::kMainWindow, 1, QStringLiteral("another action's record"));
        window.CheckHardware();

        const QStringList files = testsupport::reportFiles(kReportName);
        QCOMPARE(files.size(), 2);
        QVERIFY(files.at(0) != files.at(1));
        for (const QString &file : files) {
            const QList<Record> found = testsupport::recordsOf(file);
            int taken = 0;
            compareOneRun(found, 0, taken);
            if (QTest::currentTestFailed())
                return;
            QCOMPARE(taken, found.size());
        }
        QCOMPARE(testsupport::reportFiles(QStringLiteral("SupportLog_software_confliction_")).size(), 1);
    }

    // Closing the window while the graphics adapter is being asked stops
    // the action there: the processor record stays, nothing claims what the
    // graphics check or any later check would have found.
    void closingCutsTheActionShort()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        const QString started = folder.filePath(QStringLiteral("adapter-query-started"));
        fixtures.addScript(QStringLiteral("powershell"),
                           "case \"$*\" in\n"
                           "  '" + windowscommands::asScript(windowscommands::processor()).toUtf8() + "')\n"
                           "    printf '\\r\\n\\r\\nName : X\\r\\n\\r\\n\\r\\n\\r\\n' ;;\n"
                           "  '" + windowscommands::asScript(windowscommands::videoControllers()).toUtf8() + "')\n"
                           "    touch '" + QFile::encodeName(started) + "'; exec sleep 30 ;;\n"
                           "esac");
        MainWindow window;
        window.show();
        auto *pane = window.findChild<QTextEdit *>(QStringLiteral("textEdit"));
        const QString before = pane->toPlainText();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &window, [&] {
            if (QFile::exists(started)) {
                poll.stop();
                window.close();
            }
        });
        poll.start(20);

        QElapsedTimer timer;
        timer.start();
        window.CheckHardware();
        QVERIFY(timer.elapsed() < 20000);
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(!cancellation::requested());

        QCOMPARE(pane->toPlainText().mid(before.size()), QStringLiteral("\nName : X"));
        const QStringList files = testsupport::reportFiles(kReportName);
        QCOMPARE(files.size(), 1);
        QList<int> infoLines;
        for (const Record &record : testsupport::recordsOf(files.first())) {
            if (record.level == QLatin1Char('I'))
                infoLines.append(record.line);
        }
        QCOMPARE(infoLines, QList<int>{76});
    }
};

QTEST_MAIN(HardwareActionTest)
#include "tst_hardwareaction.moc"
