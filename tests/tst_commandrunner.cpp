// The command runner: what comes back from a child and what it leaves in the
// report, including the ways a child can misbehave.

#include "inspection/displaysystemrelatedinfo.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using testsupport::FixturePath;
using testsupport::FixtureSteps;
using testsupport::InstallFolder;

class CommandRunnerTest : public QObject
{
    Q_OBJECT

private:
    // Runs a command with a fresh report and returns the report's records.
    QList<testsupport::Record> runAndRead(const QStringList &arguments, const QString &program, QString *output,
                                          int timeoutMs = displaysystemrelatedinfo::kDefaultCommandTimeoutMs)
    {
        records::switchReport(QStringLiteral("./logs/SupportTool/runner_"));
        *output = displaysystemrelatedinfo::instance()->runCommand(arguments, program, timeoutMs);
        const QStringList files = testsupport::reportFiles(QStringLiteral("runner_"));
        return files.isEmpty() ? QList<testsupport::Record>() : testsupport::recordsOf(files.last());
    }

private slots:
    void initTestCase() { testsupport::initLogging(); }

    void sharedInstance()
    {
        QVERIFY(displaysystemrelatedinfo::instance() != nullptr);
        QCOMPARE(displaysystemrelatedinfo::instance(), displaysystemrelatedinfo::instance());
    }

    void outputAndErrorsTravelSeparately_data()
    {
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("nothing at all") << QByteArray() << QByteArray() << 0;
        QTest::newRow("errors only") << QByteArray() << QByteArray("something broke\n") << 0;
        QTest::newRow("failing command keeps its output exactly")
            << QByteArray("\r\n\r\nCaption : x\r\n\r\n\r\n") << QByteArray("bad\n") << 3;
    }
    void outputAndErrorsTravelSeparately()
    {
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(int, exitCode);
        InstallFolder install;
        FixturePath fixtures;
        fixtures.addProgram(QStringLiteral("tool"), out, err, exitCode);

        QString output;
        const auto recordList = runAndRead({QStringLiteral("arg")}, QStringLiteral("tool"), &output);
        QCOMPARE(output, QString::fromLocal8Bit(out));
        // One warning record carrying standard error, written even when empty.
        QCOMPARE(recordList.size(), 1);
        QCOMPARE(recordList.first().level, QChar('W'));
        QCOMPARE(recordList.first().file, QStringLiteral("displaysystemrelatedinfo.cpp"));
        QCOMPARE(recordList.first().line, 46);
        QCOMPARE(recordList.first().text, QString::fromLocal8Bit(err).chopped(err.isEmpty() ? 0 : 1));
    }

    void argumentsArriveOneByOne()
    {
        InstallFolder install;
        FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("echoargs"), FixtureSteps().printArguments());
        QString output;
        const QStringList arguments{QStringLiteral("a b"), QStringLiteral("\"q\""), QStringLiteral("")};
        runAndRead(arguments, QStringLiteral("echoargs"), &output);
        QCOMPARE(testsupport::argumentsOfLine(output.toUtf8()), arguments);
    }

    void quotedProgramPathWithOptions()
    {
        InstallFolder install;
        QDir().mkpath(QStringLiteral("Vendor Tools"));
        const QString program = QDir::current().absoluteFilePath(QStringLiteral("Vendor Tools/query tool.exe"));
        QVERIFY(testsupport::placeFixture(program, FixtureSteps().printArguments()));

        QString output;
        runAndRead({}, QLatin1Char('"') + program + QStringLiteral("\" --query-gpu=a,b --format=csv,noheader"), &output);
        QCOMPARE(testsupport::argumentsOfLine(output.toUtf8()),
                 (QStringList{QStringLiteral("--query-gpu=a,b"), QStringLiteral("--format=csv,noheader")}));
    }

    void programThatCannotStart()
    {
        InstallFolder install;
        QElapsedTimer clock;
        clock.start();
        QString output;
        const auto recordList = runAndRead({}, QStringLiteral("no-such-program-anywhere"), &output);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(output.isEmpty());
        QCOMPARE(recordList.size(), 2);
        QCOMPARE(recordList.at(0).level, QChar('W'));
        QCOMPARE(recordList.at(0).line, 41);
        QVERIFY(recordList.at(0).text.contains(QStringLiteral("no-such-program-anywhere")));
        QCOMPARE(recordList.at(1).line, 46);
    }

    void commandThatNeverEnds()
    {
        InstallFolder install;
        FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("hang"), FixtureSteps().out("started\n").hang());
        QElapsedTimer clock;
        clock.start();
        QString output;
        // Time for a start under Wine too, which may take a second.
        const auto recordList = runAndRead({}, QStringLiteral("hang"), &output, 2000);
        QVERIFY2(clock.elapsed() < 7000, "the time limit must stop the child");
        QCOMPARE(output, QStringLiteral("started\n"));
        QCOMPARE(recordList.size(), 2);
        QCOMPARE(recordList.at(0).line, 43);
        QVERIFY(recordList.at(0).text.contains(QStringLiteral("timed out")));
        QCOMPARE(recordList.at(1).line, 46);
    }

    void windowStaysLiveWhileWaiting()
    {
        InstallFolder install;
        FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("slow"), FixtureSteps().wait(600).out("done\n"));
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(50);
        QString output;
        runAndRead({}, QStringLiteral("slow"), &output);
        QCOMPARE(output, QStringLiteral("done\n"));
        QVERIFY2(ticks >= 3, "events must be processed while the command runs");
    }

    // Must stay last: once the application quits, no event loop of this
    // process runs again.
    void applicationQuitsDuringACommand()
    {
        InstallFolder install;
        FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("hang"), FixtureSteps().hang());
        QTimer::singleShot(200, qApp, &QCoreApplication::quit);
        QElapsedTimer clock;
        clock.start();
        QString output;
        const auto recordList = runAndRead({}, QStringLiteral("hang"), &output);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY2(cancellation::requested(), "later checks must know their commands were cut short");
        QCOMPARE(recordList.size(), 2);
        QCOMPARE(recordList.at(0).line, 44);
        cancellation::reset();
    }
};

QTEST_MAIN(CommandRunnerTest)
#include "tst_commandrunner.moc"
