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

class ChildWaitTest : public QObject
{
    Q_OBJECT

private:
    static childwait::Command script(const FixturePath &fixtures, const QByteArray &body)
    {
        fixtures.addScript(QStringLiteral("child"), body);
        childwait::Command command;
        command.program = QStringLiteral("child");
        return command;
    }

private slots:
    void initTestCase() { testsupport::initLogging(); }

    // More than a pipe holds, on both channels at once: neither side may
    // stall the other, and nothing may be lost or cut.
    void largeOutputOnBothChannels()
    {
        const FixturePath fixtures;
        const childwait::Command command =
            script(fixtures, "i=0; while [ $i -lt 3000 ]; do echo \"out line $i of a long answer ........................\";"
                             " echo \"err line $i\" >&2; i=$((i+1)); done");
        const childwait::Outcome outcome = childwait::run(command, 30000);
        QVERIFY(!outcome.timedOut && !outcome.failedToStart);
        const QList<QByteArray> out = outcome.output.split('\n');
        const QList<QByteArray> err = outcome.errors.split('\n');
        QCOMPARE(out.size(), 3001);
        QCOMPARE(err.size(), 3001);
        QCOMPARE(out.at(2999), QByteArray("out line 2999 of a long answer ........................"));
        QCOMPARE(err.at(1234), QByteArray("err line 1234"));
    }

    void howTheChildEnded_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("crashed");
        QTest::newRow("success") << QByteArray("exit 0") << 0 << false;
        QTest::newRow("error code") << QByteArray("exit 7") << 7 << false;
        QTest::newRow("crash") << QByteArray("kill -SEGV $$") << -1 << true;
    }
    void howTheChildEnded()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, exitCode);
        QFETCH(bool, crashed);
        const FixturePath fixtures;
        const childwait::Outcome outcome = childwait::run(script(fixtures, body), 10000);
        QCOMPARE(outcome.exitCode, exitCode);
        QCOMPARE(outcome.crashed, crashed);
    }

    // The wait ends with the child, not with a program it left running that
    // still holds its output: a check must not hang on a stray background job.
    void endsWithTheChildNotItsBackgroundJob()
    {
        const FixturePath fixtures;
        QElapsedTimer clock;
        clock.start();
        const childwait::Outcome outcome = childwait::run(script(fixtures, "sleep 10 &\necho answer"), 30000);
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
        childwait::Command command = script(fixtures, "if read answer; then echo read; else echo end; fi");
        command.closeInput = closeInput;
        const childwait::Outcome outcome = childwait::run(command, 700);
        QCOMPARE(outcome.timedOut, !closeInput);
        QCOMPARE(outcome.output, closeInput ? QByteArray("end\n") : QByteArray());
        QCOMPARE(outcome.crashed, !closeInput); // stopped by the time limit
    }

    void discardedOutputLeavesErrors()
    {
        const FixturePath fixtures;
        childwait::Command command = script(fixtures, "echo progress; echo problem >&2");
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
        QFile program(QStringLiteral("quillon/Content/7z.exe"));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\nfor a in \"$@\"; do printf '<%s>' \"$a\"; done\n");
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        childwait::Command command;
        command.program = QStringLiteral("./quillon/Content/7z.exe");
        command.arguments = QStringList{QStringLiteral("a"), QStringLiteral("two words"), QString(),
                                        QStringLiteral("/home/Jürgen/Saved")};
        const childwait::Outcome outcome = childwait::run(command, 10000);
        QDir::setCurrent(previous);
        QCOMPARE(QString::fromLocal8Bit(outcome.output), QStringLiteral("<a><two words><></home/Jürgen/Saved>"));
    }

    // Cancelling stops the child at once and keeps what it wrote so far; a
    // wait asked for after the cancellation does not start the child at all.
    void cancelledWait()
    {
        const FixturePath fixtures;
        const QString marker = fixtures.path() + QStringLiteral("/ran");
        const childwait::Command command =
            script(fixtures, "touch '" + marker.toLocal8Bit() + "'\necho begun\nexec sleep 30");
        QTimer::singleShot(300, [] { cancellation::request(); });
        QElapsedTimer clock;
        clock.start();
        const childwait::Outcome stopped = childwait::run(command, 30000);
        QVERIFY(clock.elapsed() < 5000);
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
