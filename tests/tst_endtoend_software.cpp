// The software-conflict action with the real stand-in PowerShell: a program
// whose name starts like GamePP's is running, and the action finds it.

#include "recordsummary.h"
#include "reporttexts.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QProcess>
#include <QtTest>

using namespace testsupport;

namespace {

// A copy of sleep named GamePPtest, running for the guard's life.
class ConflictingProgram
{
public:
    ConflictingProgram()
    {
        const QString program = m_folder.filePath(QStringLiteral("GamePPtest"));
        if (QFile::copy(QStringLiteral("/bin/sleep"), program))
            m_process.start(program, {QStringLiteral("30")});
    }
    ~ConflictingProgram()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool running() { return m_process.waitForStarted(); }

private:
    QTemporaryDir m_folder;
    QProcess m_process;
};

// The process line in its padded layout: the name in a field of 25.
const QRegularExpression kGamePPtestLine(
    QStringLiteral("^Process=GamePPtest {15} CPU_Usage_%=\\d+ +Memory_Usage_=\\d+(\\.\\d{1,2})? +$"),
    QRegularExpression::MultilineOption);

} // namespace

class EndToEndSoftwareTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initWindowTests();
        appendStandInsToPath();
    }

    void runningConflictFoundInReportAndPane()
    {
        const InstallFolder folder;
        ConflictingProgram gamePP;
        QVERIFY(gamePP.running());

        MainWindow window;
        const QString before = paneText(window);
        window.CheckSoftwareConfliction();
        QVERIFY(idle(window));

        const QStringList files = reportFiles(QStringLiteral("SupportLog_software_confliction_"));
        QCOMPARE(files.size(), 1);
        const QList<Record> report = recordsOf(files.first());
        QCOMPARE(placesOf(report), (QStringList{QStringLiteral("W displaysystemrelatedinfo.cpp:46"),
                                               QStringLiteral("I displaysystemrelatedinfo.cpp:464"),
                                               QStringLiteral("I displaysystemrelatedinfo.cpp:468")}));
        QCOMPARE(report.at(1).text, QStringLiteral("CHECKING PROCESS INFORMATION......"));

        // Record 468 opens with both notices and closes with the hyphens.
        const std::optional<QString> list = framedText(
            report, 468,
            QStringLiteral("\n**NOTICE: wwbizsrv is a background process of Ali Wang Wang**"
                           "\n**Process which starts with GPP is GamePP related process**\n"),
            QString(96, QLatin1Char('-')));
        QVERIFY2(list, qPrintable(report.at(2).text));
        QVERIFY2(kGamePPtestLine.match(*list).hasMatch(), qPrintable(*list));

        // The pane shows the list as the report holds it, without the notices.
        const QString shown = addedPaneText(before, paneText(window));
        QCOMPARE(shown, *list);
        QVERIFY(!shown.contains(QLatin1String("NOTICE")));
    }
};

QTEST_MAIN(EndToEndSoftwareTest)
#include "tst_endtoend_software.moc"
