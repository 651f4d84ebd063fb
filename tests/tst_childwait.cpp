// The wait for a child process that the command runner and the archiver
// share: what it hands back of a child's output and ending, whatever the
// child does with its pipes.

#include "process/cancellation.h"
#include "process/childwait.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using testsupport::FixturePath;
using testsupport::FixtureSteps;

class ChildWaitTest : public QObject
{
    Q_OBJECT

private:
    static childwait::Command child(const FixturePath &fixtures, const FixtureSteps &steps)
    {
        fixtures.addFixture(QStringLiteral("child"), steps);
        childwait::Command command;
        command.program = QStringLiteral("child");
        return command;
    }

private slots:
    void initTestCase() { testsupport::initLogging(); }
    // A failed case leaves no cancellation in force for the next.
    void cleanup() { cancellation::reset(); }

    // More than a pipe holds, on both channels at once: neither side may
    // stall the other, and nothing may be lost or cut.
    void largeOutputOnBothChannels()
    {
        const FixturePath fixtures;
        const QByteArray outLine = "out line of a long answer ........................\n";
        const QByteArray errLine = "err line\n";
        const childwait::Command command =
            child(fixtures, FixtureSteps()
                                .flood(FixtureSteps::Channel::Output, 3000 * outLine.size(), outLine)
                                .flood(FixtureSteps::Channel::Errors, 3000 * errLine.size(), errLine)
                                .flood(FixtureSteps::Channel::Output, 3000 * outLine.size(), outLine));
        const childwait::Outcome outcome = childwait::run(command, 30000);
        QVERIFY(!outcome.timedOut && !outcome.failedToStart);
        QCOMPARE(outcome.output, outLine.repeated(6000));
        QCOMPARE(outcome.errors, errLine.repeated(3000));
    }

    void howTheChildEnded_data()
    {
        QTest::addColumn<FixtureSteps>("steps");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("crashed");
        QTest::newRow("success") << FixtureSteps().exit(0) << 0 << false;
        QTest::newRow("error code") << FixtureSteps().exit(7) << 7 << false;
        QTest::newRow("crash") << FixtureSteps().crash() << 0 << true;
    }
    void howTheChildEnded()
    {
        QFETCH(FixtureSteps, steps);
        QFETCH(int, exitCode);
        QFETCH(bool, crashed);
        const FixturePath fixtures;
        const childwait::Outcome outcome = childwait::run(child(fixtures, steps), 10000);
        QCOMPARE(outcome.crashed, crashed);
        // A crashed child's exit code is whatever the system makes of the
        // crash (-1 here, the exception's code on Windows).
        if (!crashed)
            QCOMPARE(outcome.exitCode, exitCode);
    }

    // The wait ends with the child, not with a program it left running that
    // still holds its output: a check must not hang on a stray background job.
    void endsWithTheChildNotItsBackgroundJob()
    {
        const FixturePath fixtures;
        QElapsedTimer clock;
        clock.start();
        const childwait::Outcome outcome =
            childwait::run(child(fixtures, FixtureSteps().background(8000).out("answer\n")), 30000);
        QVERIFY2(clock.elapsed() < 5000, "the wait must not follow the background job");
        QVERIFY(!outcome.timedOut);
        QCOMPARE(outcome.output, QByteArray("answer\n"));
    }

    // With its input closed, a child that asks a question meets the end of
    // input at once; otherwise its input stays open, as a console's would.
    void closedInputAnswersAQuestionWithItsEnd_data()
    {
        QTest::addColumn<bool>("closeInput");
        QTest::newRow("closed") << true;
        QTest::newRow("open") << false;
    }
    void closedInputAnswersAQuestionWithItsEnd()
    {
        QFETCH(bool, closeInput);
        const FixturePath fixtures;
        childwait::Command command = child(fixtures, FixtureSteps().readInput().out("end\n"));
        command.closeInput = closeInput;
        const childwait::Outcome outcome = childwait::run(command, 700);
        QCOMPARE(outcome.timedOut, !closeInput);
        QCOMPARE(outcome.output, closeInput ? QByteArray("end\n") : QByteArray());
        QCOMPARE(outcome.crashed, !closeInput); // stopped by the time limit
    }

    void discardedOutputLeavesErrors()
    {
        const FixturePath fixtures;
        childwait::Command command = child(fixtures, FixtureSteps().out("progress\n").err("problem\n"));
        command.discardOutput = true;
        const childwait::Outcome outcome = childwait::run(command, 10000);
        QVERIFY(outcome.output.isEmpty());
        QCOMPARE(outcome.errors, QByteArray("problem\n"));
    }

    // A program named with a folder is taken from there (the bundled
    // archiver is "./quillon/Content/7z.exe"), not looked up on the search
    // path; arguments arrive one by one and letters beyond ASCII intact.
    void programPathAndArguments()
    {
        QTemporaryDir folder;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        QDir().mkpath(QStringLiteral("quillon/Content"));
        QVERIFY(testsupport::placeFixture(QStringLiteral("quillon/Content/7z.exe"), FixtureSteps().printArguments()));

        childwait::Command command;
        command.program = QStringLiteral("./quillon/Content/7z.exe");
        command.arguments = QStringList{QStringLiteral("a"), QStringLiteral("two words"), QString(),
                                        QStringLiteral("/home/Jürgen/Saved")};
        const childwait::Outcome outcome = childwait::run(command, 10000);
        QDir::setCurrent(previous);
        QCOMPARE(testsupport::argumentsOfLine(outcome.output), command.arguments);
    }

    // Cancelling stops the child at once and keeps what it wrote so far; a
    // wait asked for after the cancellation does not start the child at all.
    void cancelledWait()
    {
        const FixturePath fixtures;
        const QString marker = fixtures.path() + QStringLiteral("/ran");
        const childwait::Command command = child(fixtures, FixtureSteps().out("begun\n").touch(marker).hang());
        // Once the child has written (however long it takes to start).
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&marker] {
            if (QFile::exists(marker))
                cancellation::request();
        });
        poll.start(50);
        QElapsedTimer clock;
        clock.start();
        const childwait::Outcome stopped = childwait::run(command, 30000);
        poll.stop();
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(stopped.cancelled && !stopped.timedOut);
        QCOMPARE(stopped.output, QByteArray("begun\n"));

        QVERIFY(QFile::remove(marker));
        const childwait::Outcome skipped = childwait::run(command, 30000);
        cancellation::reset();
        QVERIFY(skipped.cancelled);
        QVERIFY2(!QFile::exists(marker), "a cancelled action must not start more programs");
    }

    void programThatIsNotThere()
    {
        childwait::Command command;
        command.program = QStringLiteral("/no/such/program");
        const childwait::Outcome outcome = childwait::run(command, 10000);
        QVERIFY(outcome.failedToStart);
        QVERIFY(!outcome.startError.isEmpty());
    }
};

QTEST_MAIN(ChildWaitTest)
#include "tst_childwait.moc"
