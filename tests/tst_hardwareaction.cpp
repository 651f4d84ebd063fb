// The hardware action end to end in the real window: a fixture PowerShell
// answers every script with a Windows-shaped sample, and the pane and the
// hardware report are read back.

#include "hardwaresamples.h"
#include "powershellanswers.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "records/reportprefixes.h"
#include "shaping/graphicsshaping.h"
#include "shaping/hardwareshaping.h"
#include "testsupport.h"
#include "window/mainwindow.h"

#include "inspection/windowscommands.h"

#ifdef Q_OS_WIN
#include "d3d12/d3d12probe.h"
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

QString sample(const QByteArray &bytes) { return QString::fromUtf8(bytes); }

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
#ifndef Q_OS_WIN
    // A 12_0 device without hardware ray tracing.
    fixtures.addProgram(QStringLiteral("d3d12probe"), "creation=0x00000000 query=0x00000000 tier=0\n");
#endif
}

// What the Direct3D 12 check finds: the fixture probe's answer; on Windows,
// where the tool asks d3d12.dll in its own process, what the system says.
d3d12probe::Facts d3d12Facts()
{
#ifdef Q_OS_WIN
    return d3d12probe::probe();
#else
    return {};
#endif
}

// What the samples make of each check (the volumes being this machine's own,
// the disk check is shaped without them).
struct Shapes
{
    records::ShapedCheck processor, gpu, memory, pageFile, physicalDisks, screens;
    records::ShapedCheck tdr;
};

Shapes shapes()
{
    using namespace hardwareshaping;
    QVector<QSize> sizes;
    for (const QScreen *screen : QGuiApplication::screens())
        sizes.append(screen->geometry().size());
    return {processor(sample(hardwaresamples::kProcessor)),
            graphicsAdapter(adapterText(sample(hardwaresamples::kVideoControllers), sample(hardwaresamples::kAdapterMemory)),
                            memoryUsageText(sample(hardwaresamples::kGpuMemoryUsage)),
                            engineUtilizationDetail(sample(hardwaresamples::kGpuEngineUtilization))),
            physicalMemory(sample(hardwaresamples::kPhysicalMemory)),
            pageFile(sample(hardwaresamples::kPageFile)),
            disks(sample(hardwaresamples::kPhysicalDisks), {}),
            screens(sizes),
            graphicsshaping::tdrValues(sample(hardwaresamples::kTdrValues))};
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

void compareRecord(const Record &found, QChar level, const records::CheckRecord &expected)
{
    QVERIFY2(found.level == level && found.line == expected.line && found.file == QLatin1String(records::kInspection),
             qPrintable(QStringLiteral("%1 %2:%3 instead of %4 %5")
                            .arg(found.level).arg(found.file).arg(found.line).arg(level).arg(expected.line)));
    // The library drops one line end closing a text.
    QCOMPARE(found.text, expected.text.endsWith(QLatin1Char('\n')) ? expected.text.chopped(1) : expected.text);
}

// The volume record holds one line per mounted volume, in order; only the
// paths and totals are compared, the space available may move meanwhile.
void compareVolumes(const Record &found)
{
    QCOMPARE(found.line, 202);
    QStringList lines = found.text.split(QLatin1Char('\n'));
    QCOMPARE(lines.takeFirst(), QStringLiteral("Logical disk drive point of view:"));
    QCOMPARE(lines.takeLast(), records::bareSeparator());
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    QCOMPARE(lines.size(), volumes.size());
    for (int i = 0; i < volumes.size(); ++i) {
        const QString start = QStringLiteral("Path: %1 TotalGBytes: %2GB UsedGBytes: ")
                                  .arg(volumes.at(i).rootPath())
                                  .arg(volumes.at(i).bytesTotal() / (Q_INT64_C(1) << 30));
        QVERIFY2(lines.at(i).startsWith(start) && lines.at(i).endsWith(QStringLiteral("GB")), qPrintable(lines.at(i)));
    }
}

// Compares the records from index from on with what one run on the samples
// must leave, and tells how many records the run took.
void compareOneRun(const QList<Record> &all, int from, int &taken)
{
    const QList<Record> run = withoutUpdateCheck(all.mid(from));
    const Shapes shaped = shapes();
    const records::CheckRecord runner{kRunnerWarningLine, {}};
    const QList<QPair<QChar, records::CheckRecord>> expected = {
        {'W', runner}, {'I', shaped.processor.records.at(0)},
        {'W', runner}, {'W', runner}, {'W', runner}, {'I', hardwareshaping::vendorToolMissingRecord()},
        {'W', runner}, {'I', shaped.gpu.records.at(0)},
        {'W', runner}, {'I', shaped.tdr.records.at(0)},
        {'W', runner}, {'I', shaped.memory.records.at(0)},
        {'W', runner}, {'I', shaped.pageFile.records.at(0)},
        {'I', hardwareshaping::diskNoticeRecord()}, {'W', runner}, {'I', shaped.physicalDisks.records.at(0)},
    };
    // Then the volumes, the screens and the Direct3D 12 records.
    const QVector<records::CheckRecord> d3d12 = graphicsshaping::d3d12Records(d3d12Facts());
    QVERIFY2(run.size() >= expected.size() + 2 + d3d12.size(),
             qPrintable(QStringLiteral("only %1 records").arg(run.size())));
    int next = 0;
    for (const auto &step : expected) {
        compareRecord(run.at(next++), step.first, step.second);
        if (QTest::currentTestFailed())
            return;
    }
    compareVolumes(run.at(next++));
    if (QTest::currentTestFailed())
        return;
    compareRecord(run.at(next++), QLatin1Char('I'), shaped.screens.records.at(0));
    if (QTest::currentTestFailed())
        return;

    // The probe's facts, in the order the check writes them.
    for (const records::CheckRecord &record : d3d12) {
        compareRecord(run.at(next++), QLatin1Char('I'), record);
        if (QTest::currentTestFailed())
            return;
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
        testsupport::initWindowTests();
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

        // Eight paragraphs: the disk text is the sample's disk lines and the
        // report's volume lines, the update text whatever that check found.
        const Shapes shaped = shapes();
        const Record &volumes = *std::find_if(found.begin(), found.end(), [](const Record &r) { return r.line == 202; });
        const QString volumeLines = volumes.text.section(QLatin1Char('\n'), 1, -2);
        const QStringList texts = {shaped.processor.text, shaped.gpu.text, shaped.tdr.text, shaped.memory.text,
                                   shaped.pageFile.text, shaped.physicalDisks.text + QLatin1Char('\n') + volumeLines,
                                   shaped.screens.text};
        const QString appended = pane->toPlainText().mid(before.size());
        const QString start = QLatin1Char('\n') + texts.join(QLatin1Char('\n')) + QLatin1Char('\n');
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
        const testsupport::PowerShellAnswers answers(fixtures);
        const QString adapterQuery = windowscommands::asScript(windowscommands::videoControllers());
        QVERIFY(answers.add(windowscommands::asScript(windowscommands::processor()), "\r\n\r\nName : X\r\n\r\n\r\n\r\n"));
        testsupport::Answer never;
        never.ending = testsupport::Ending::Hang;
        QVERIFY(answers.add(adapterQuery, never));
        QVERIFY(answers.addFallback({}));
        MainWindow window;
        window.show();
        auto *pane = window.findChild<QTextEdit *>(QStringLiteral("textEdit"));
        const QString before = pane->toPlainText();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &window, [&] {
            if (answers.received().contains(adapterQuery)) {
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
