// The fixture program the other tests stand in programs with: what it does
// for each step, the same on Linux and under Wine, as a caller sees it
// through QProcess.

#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using testsupport::FixturePath;
using testsupport::FixtureSteps;

namespace {

// Runs the fixture to its end (at most 10 s).
void runFixture(QProcess &process, const QString &program, const QStringList &arguments = {})
{
    process.start(program, arguments);
    QVERIFY2(process.waitForFinished(10000), qPrintable(process.errorString()));
}

} // namespace

class FixtureProgramTest : public QObject
{
    Q_OBJECT

private slots:
    // Blanks, quotes, backslashes, brackets, empty arguments and letters
    // beyond ASCII arrive one by one as the caller gave them, in UTF-8.
    void argumentsAsReceived()
    {
        const FixturePath fixtures;
        const QString log = QDir(fixtures.path()).filePath(QStringLiteral("runs.log"));
        const QString program = fixtures.addFixture(QStringLiteral("tool"), FixtureSteps().printArguments().logArguments(log));
        const QStringList arguments{QStringLiteral("two words"), QStringLiteral("\"quoted\""), QString(),
                                    QStringLiteral("C:\\dir\\"), QStringLiteral("[x]\\y"), QStringLiteral("Jürgen 東京")};
        QProcess process;
        runFixture(process, program, arguments);
        runFixture(process, program);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(testsupport::loggedArguments(log), (QList<QStringList>{arguments, {}}));

        runFixture(process, program, arguments);
        QCOMPARE(testsupport::argumentsOfLine(process.readAllStandardOutput()), arguments);
    }

    // Bytes reach each channel unchanged (no "\n" made "\r\n"), and the
    // exit code is the one asked for.
    void bytesAndExitCode()
    {
        const FixturePath fixtures;
        const QByteArray out("line\r\nnext\n\0\xff\xfe \\x41 end", 24);
        const QByteArray err("ERROR: disk full\n\xc3\xa9");
        fixtures.addProgram(QStringLiteral("tool"), out, err, 7);
        QProcess process;
        runFixture(process, QStringLiteral("tool"));
        QCOMPARE(process.readAllStandardOutput(), out);
        QCOMPARE(process.readAllStandardError(), err);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 7);
    }

    // The files it touches, writes, copies and appends, the arguments
    // naming some of them; a flood of the size asked for, its last line cut.
    void filesAndFlood()
    {
        const FixturePath fixtures;
        const QDir folder(fixtures.path());
        const QString source = folder.filePath(QStringLiteral("source.txt"));
        const QString target = folder.filePath(QStringLiteral("target 1.txt"));
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("source\n");
        file.close();
        const FixtureSteps steps = FixtureSteps()
                                       .touch(folder.filePath(QStringLiteral("touched")))
                                       .write(target, "first\n")
                                       .append(source, target)
                                       .writeToArgument(1, "replaced")
                                       .copyToArgument(2, source)
                                       .flood(FixtureSteps::Channel::Errors, 100005, "flooding line\n");
        const QString program = fixtures.addFixture(QStringLiteral("7z"), steps);
        QProcess process;
        runFixture(process, program,
                   {folder.filePath(QStringLiteral("argument one")), folder.filePath(QStringLiteral("two.zip"))});
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("touched"))));
        QCOMPARE(testsupport::readFile(target), QByteArray("first\nsource\n"));
        QCOMPARE(testsupport::readFile(folder.filePath(QStringLiteral("argument one"))), QByteArray("replaced"));
        QCOMPARE(testsupport::readFile(folder.filePath(QStringLiteral("two.zip"))), QByteArray("source\n"));
        const QByteArray flood = process.readAllStandardError();
        QCOMPARE(flood.size(), 100005);
        QVERIFY(flood.startsWith("flooding line\nflooding line\n"));
        QVERIFY(flood.endsWith("\nflo"));
    }

    // A crash is a crash to the caller, not an exit code.
    void crashIsReportedAsACrash()
    {
        const FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("tool"), FixtureSteps().out("before\n").crash().out("after\n"));
        QProcess process;
        runFixture(process, QStringLiteral("tool"));
        QVERIFY2(process.exitStatus() == QProcess::CrashExit, qPrintable(QString::number(uint(process.exitCode()), 16)));
        QCOMPARE(process.readAllStandardOutput(), QByteArray("before\n"));
    }

    // A hanging fixture has written what came before, and ends when killed.
    void hangEndsWithAKill()
    {
        const FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("tool"), FixtureSteps().out("started\n").hang());
        QProcess process;
        process.start(QStringLiteral("tool"), QStringList());
        QVERIFY(process.waitForStarted(10000));
        QVERIFY(process.waitForReadyRead(10000));
        QVERIFY(!process.waitForFinished(300));
        QCOMPARE(process.readAllStandardOutput(), QByteArray("started\n"));
        QElapsedTimer clock;
        clock.start();
        process.kill();
        QVERIFY(process.waitForFinished(10000));
        QVERIFY(clock.elapsed() < 5000);
    }

    // Reading its input ends at the input's end; a wait lasts its time.
    void inputAndWait()
    {
        const FixturePath fixtures;
        fixtures.addFixture(QStringLiteral("tool"), FixtureSteps().readInput().wait(300).out("end"));
        QProcess process;
        QElapsedTimer clock;
        clock.start();
        process.start(QStringLiteral("tool"), QStringList());
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(10000));
        QVERIFY(clock.elapsed() >= 300);
        QCOMPARE(process.readAllStandardOutput(), QByteArray("end"));
    }

    // A step it cannot carry out is said, with a code of its own.
    void unknownStep()
    {
        const FixturePath fixtures;
        const QString program = fixtures.addFixture(QStringLiteral("tool"), FixtureSteps().out("x"));
        QFile steps(QDir(fixtures.path()).filePath(QStringLiteral("tool.steps")));
        QVERIFY(steps.open(QIODevice::Append));
        steps.write("jump high\n");
        steps.close();
        QProcess process;
        runFixture(process, program);
        QCOMPARE(process.exitCode(), 125);
        QVERIFY(process.readAllStandardError().contains("jump high"));
    }
};

QTEST_GUILESS_MAIN(FixtureProgramTest)
#include "tst_fixtureprogram.moc"
