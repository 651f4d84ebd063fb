// The stand-in cmd: how it reads the two address-test loops and their
// target list, and how it runs this system's tools for each target.

#include "forloop.h"
#include "inspection/windowscommands.h"
#include "installation/pingtargets.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

namespace {

const QString kStandInCmd = QStringLiteral(STANDIN_DIR "/cmd");

// Adds a tool that records each argument it gets on a line of its own
// (with shell builtins only, so it also runs with nothing else on the
// search path) and prints "ran TOOL N" for N arguments. Returns the record.
QString addRecorder(const testsupport::FixturePath &fixtures, const QString &tool)
{
    const QString log = QDir(fixtures.path()).filePath(QStringLiteral("argv.log"));
    fixtures.addScript(tool, "for a in \"$@\"; do printf '[%s]\\n' \"$a\" >> '" + QFile::encodeName(log)
                                 + "'; done\nprintf 'ran " + tool.toLatin1() + " %s\\n' \"$#\"");
    return log;
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runStandIn(const QStringList &arguments, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess cmd;
    cmd.setProcessEnvironment(environment);
    cmd.start(kStandInCmd, arguments);
    cmd.waitForFinished(10000);
    return {cmd.exitCode(), cmd.readAllStandardOutput(), cmd.readAllStandardError()};
}

} // namespace

class CmdLoopTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::initLogging(); }

    void recognisesTheTwoLoops()
    {
        const auto ping = cmdloop::parse(windowscommands::pingLoop().at(1));
        QVERIFY(ping);
        QCOMPARE(ping->tool, cmdloop::Tool::Ping);
        QCOMPARE(ping->listFile, QStringLiteral("ipconfig.txt"));
        QCOMPARE(ping->resultFile, QStringLiteral("./logs/SupportTool/pingResult.txt"));

        const auto route = cmdloop::parse(windowscommands::routeLoop().at(1));
        QVERIFY(route);
        QCOMPARE(route->tool, cmdloop::Tool::Route);
        QCOMPARE(route->listFile, pingtargets::listFileName());
        QCOMPARE(route->resultFile, QStringLiteral("./logs/SupportTool/tracertResult.txt"));
    }

    void refusesOtherCommandLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("empty") << QString();
        QTest::newRow("other command") << QStringLiteral("dir /s");
        QTest::newRow("other body") << QStringLiteral("for /f %d in (ipconfig.txt) do (del %d)");
        QTest::newRow("chained") << QStringLiteral(
            "for /f %d in (ipconfig.txt) do (ping -n 4 %d >> ./logs/SupportTool/pingResult.txt) & calc");
        QTest::newRow("other variable in body") << QStringLiteral(
            "for /f %d in (ipconfig.txt) do (ping -n 4 %e >> ./logs/SupportTool/pingResult.txt)");
        QTest::newRow("no redirection") << QStringLiteral("for /f %d in (ipconfig.txt) do (tracert %d)");
    }

    void refusesOtherCommandLines()
    {
        QFETCH(QString, line);
        QVERIFY(!cmdloop::parse(line));
    }

    void readsTargetsAsTheConsoleLoop_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("targets");
        QTest::newRow("empty file") << QString() << QStringList();
        QTest::newRow("one per line") << QStringLiteral("a.example\n10.0.0.1\n")
                                      << QStringList{QStringLiteral("a.example"), QStringLiteral("10.0.0.1")};
        QTest::newRow("no final line end") << QStringLiteral("a.example") << QStringList{QStringLiteral("a.example")};
        QTest::newRow("windows line ends") << QStringLiteral("a.example\r\nb.example\r\n")
                                           << QStringList{QStringLiteral("a.example"), QStringLiteral("b.example")};
        QTest::newRow("empty and comment lines")
            << QStringLiteral("\n;a.example\n\nb.example\n;\n") << QStringList{QStringLiteral("b.example")};
        QTest::newRow("first word only") << QStringLiteral("a.example main office\nb.example\tbackup\n")
                                         << QStringList{QStringLiteral("a.example"), QStringLiteral("b.example")};
        QTest::newRow("leading blanks and blank lines")
            << QStringLiteral("   a.example\n \t \n\tb.example")
            << QStringList{QStringLiteral("a.example"), QStringLiteral("b.example")};
        QTest::newRow("semicolon inside a word") << QStringLiteral("a;b\n") << QStringList{QStringLiteral("a;b")};
    }

    void readsTargetsAsTheConsoleLoop()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, targets);
        QCOMPARE(pingtargets::targetsOf(list), targets);
    }

    void echoesLikeTheConsole()
    {
        const auto ping = cmdloop::parse(windowscommands::pingLoop().at(1));
        QCOMPARE(cmdloop::echoOf(*ping, QStringLiteral("a.example"), QStringLiteral("/opt/tessaly")),
                 QStringLiteral("\r\n/opt/tessaly>(ping -n 4 a.example  1>>./logs/SupportTool/pingResult.txt )\r\n"));
        const auto route = cmdloop::parse(windowscommands::routeLoop().at(1));
        QCOMPARE(cmdloop::echoOf(*route, QStringLiteral("a.example"), QStringLiteral("/opt/tessaly")),
                 QStringLiteral("\r\n/opt/tessaly>(tracert a.example  1>>./logs/SupportTool/tracertResult.txt )\r\n"));
    }

    // Values from the settings file reach the tools as one plain argument
    // after "--": never as an option, never through a shell.
    void hostileTargetsStayPlainArguments_data()
    {
        QTest::addColumn<QStringList>("loop");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("resultFile");
        QTest::addColumn<QStringList>("optionsBeforeTarget");
        QTest::newRow("ping") << windowscommands::pingLoop() << QStringLiteral("ping")
                              << QStringLiteral("logs/SupportTool/pingResult.txt")
                              << QStringList{QStringLiteral("-c"), QStringLiteral("4"), QStringLiteral("--")};
        QTest::newRow("route") << windowscommands::routeLoop() << QStringLiteral("traceroute")
                               << QStringLiteral("logs/SupportTool/tracertResult.txt")
                               << QStringList{QStringLiteral("--")};
    }

    void hostileTargetsStayPlainArguments()
    {
        QFETCH(QStringList, loop);
        QFETCH(QString, tool);
        QFETCH(QString, resultFile);
        QFETCH(QStringList, optionsBeforeTarget);

        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        const QString log = addRecorder(fixtures, tool);
        // "$(touch x)" is cut at its blank like any value; the ${IFS} forms
        // are single words that a shell would turn into "touch x" / "touch y".
        folder.writeFile(QStringLiteral("ipconfig.txt"),
                         "-f\n$(touch x)\n$(touch${IFS}x)\na;b\n`touch${IFS}y`\n");
        folder.writeFile(resultFile, "earlier\n");

        const Run run = runStandIn(loop);
        QCOMPARE(run.exitCode, 0);

        const QStringList targets{QStringLiteral("-f"), QStringLiteral("$(touch"), QStringLiteral("$(touch${IFS}x)"),
                                  QStringLiteral("a;b"), QStringLiteral("`touch${IFS}y`")};
        QStringList expectedArgv;
        QByteArray expectedOut;
        QByteArray expectedResult = "earlier\n";
        const auto parsed = cmdloop::parse(loop.at(1));
        for (const QString &target : targets) {
            for (const QString &argument : optionsBeforeTarget + QStringList{target})
                expectedArgv << QLatin1Char('[') + argument + QLatin1Char(']');
            expectedOut += cmdloop::echoOf(*parsed, target, folder.path()).toLocal8Bit();
            expectedResult += "ran " + tool.toLatin1() + ' ' + QByteArray::number(optionsBeforeTarget.size() + 1) + '\n';
        }
        QCOMPARE(QString::fromLocal8Bit(testsupport::readFile(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 expectedArgv);
        QCOMPARE(run.out, expectedOut);
        QCOMPARE(testsupport::readFile(resultFile), expectedResult);
        QVERIFY(!QFile::exists(QStringLiteral("x")));
        QVERIFY(!QFile::exists(QStringLiteral("y")));
    }

    void tracesWithTracepathWhenThereIsNoTraceroute()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        const QString log = addRecorder(fixtures, QStringLiteral("tracepath"));
        folder.writeFile(QStringLiteral("ipconfig.txt"), "127.0.0.1\n");
        QProcessEnvironment onlyFixtures = QProcessEnvironment::systemEnvironment();
        onlyFixtures.insert(QStringLiteral("PATH"), fixtures.path());

        const Run run = runStandIn(windowscommands::routeLoop(), onlyFixtures);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(testsupport::readFile(log), QByteArray("[--]\n[127.0.0.1]\n"));
        QCOMPARE(testsupport::readFile(QStringLiteral("logs/SupportTool/tracertResult.txt")),
                 QByteArray("ran tracepath 2\n"));
    }

    void emptyListRunsNothingAndCreatesNoResultFile()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        const QString log = addRecorder(fixtures, QStringLiteral("ping"));
        folder.writeFile(QStringLiteral("ipconfig.txt"), "\n;only a comment\n");

        const Run run = runStandIn(windowscommands::pingLoop());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFile::exists(log));
        QVERIFY(!QFile::exists(QStringLiteral("logs/SupportTool/pingResult.txt")));
    }

    void missingListIsAnError()
    {
        testsupport::InstallFolder folder;
        const Run run = runStandIn(windowscommands::pingLoop());
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err, QByteArray("The system cannot find the file ipconfig.txt.\r\n"));
        QVERIFY(!QFile::exists(QStringLiteral("logs/SupportTool/pingResult.txt")));
    }

    void toolEndsWhenTheLoopIsStopped()
    {
        testsupport::InstallFolder folder;
        testsupport::FixturePath fixtures;
        const QString pidFile = QDir(fixtures.path()).filePath(QStringLiteral("ping.pid"));
        fixtures.addScript(QStringLiteral("ping"), "echo $$ > '" + QFile::encodeName(pidFile) + "'\nexec sleep 30");
        folder.writeFile(QStringLiteral("ipconfig.txt"), "127.0.0.1\n");

        QProcess cmd;
        cmd.start(kStandInCmd, windowscommands::pingLoop());
        QTRY_VERIFY(QFile::exists(pidFile) && QFileInfo(pidFile).size() > 0);
        const QByteArray pid = testsupport::readFile(pidFile).trimmed();
        cmd.kill(); // what the runner does on its time limit or a close
        QVERIFY(cmd.waitForFinished(5000));
        // The orphaned tool would keep appending to the result file.
        const QString proc = QStringLiteral("/proc/") + QString::fromLatin1(pid);
        const auto gone = [&proc] {
            return !QFile::exists(proc) || testsupport::readFile(proc + QStringLiteral("/stat")).contains(") Z ");
        };
        QTRY_VERIFY_WITH_TIMEOUT(gone(), 5000);
    }

    void unknownCommandLineIsRefused()
    {
        testsupport::InstallFolder folder;
        const Run run = runStandIn({QStringLiteral("/c"), QStringLiteral("del /q *.*")});
        QVERIFY(run.exitCode != 0);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.startsWith("'del' is not recognized as an internal or external command"));
    }
};

QTEST_MAIN(CmdLoopTest)
#include "tst_cmdloop.moc"
