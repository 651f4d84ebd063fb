// The fixture PowerShell that the tests on Linux and under Wine answer the
// checks with: each command text the runner sends finds its answer by the
// SHA-256 of its UTF-8 bytes, arrives in received.txt exactly as sent, and
// a command without an answer gets PowerShell's own error and status 1.

#include "inspection/displaysystemrelatedinfo.h"
#include "inspection/windowscommands.h"
#include "powershellanswers.h"
#include "process/consoletext.h"
#include "records/records.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#ifdef Q_OS_WIN
#include <string>

#include <windows.h>
#endif

using namespace testsupport;

namespace {

QString run(const QStringList &arguments)
{
    return displaysystemrelatedinfo::instance()->runCommand(arguments, windowscommands::powerShell());
}

// The text as a console program writes it to the runner: in the code page
// the runner reads its children in on Windows, UTF-8 elsewhere.
QByteArray asConsoleWrites(const QString &text)
{
#ifdef Q_OS_WIN
    const std::wstring wide = text.toStdWString();
    const UINT codePage = consoletext::childCodePage();
    const int size = WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    QByteArray bytes(size, '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
#else
    return text.toUtf8();
#endif
}

// Points the fixture, started directly rather than through the runner, at
// an answers folder.
void pointAt(QProcess &fixture, const QString &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SUPPORTTOOL_POWERSHELL_ANSWERS"), folder);
    fixture.setProcessEnvironment(environment);
}

} // namespace

class FixturePowerShellTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initLogging(); }

    // Every command line of the checks, quotes, pipes, trailing blanks and
    // all, and one with non-ASCII letters: the answer comes back byte for
    // byte, standard error reaches the runner's record, and received.txt
    // holds each command text once, in order.
    void everyCheckCommandIsAnswered()
    {
        InstallFolder install;
        FixturePath fixtures;
        PowerShellAnswers answers;
        answers.answerThrough(fixtures);
        const QList<QStringList> commands = {
            windowscommands::processor(),        windowscommands::videoControllers(),
            windowscommands::adapterMemory(),    windowscommands::gpuMemoryUsage(),
            windowscommands::gpuEngineUtilization(), windowscommands::physicalMemory(),
            windowscommands::pageFile(),         windowscommands::physicalDisks(),
            windowscommands::tdrValues(),        windowscommands::installedUpdates(),
            windowscommands::firewallProfiles(), windowscommands::firewallRules(),
            windowscommands::networkStatus(),    windowscommands::vpnConnections(),
            windowscommands::conflictingProcesses(), windowscommands::removeFile(QStringLiteral("Règle Bürosoftware.zip"))};
        QStringList sent;
        for (int i = 0; i < commands.size(); ++i) {
            const QByteArray output = asConsoleWrites(QStringLiteral("\r\nanswer %1 é\r\n\r\n").arg(i));
            QVERIFY(answers.add(commands.at(i), output, "warning " + QByteArray::number(i)));
            sent << windowscommands::asScript(commands.at(i));
        }
        records::switchReport(QStringLiteral("./logs/SupportTool/fixture_"));
        for (int i = 0; i < commands.size(); ++i)
            QCOMPARE(run(commands.at(i)), QStringLiteral("\r\nanswer %1 é\r\n\r\n").arg(i));
        QStringList errors;
        for (const Record &record : recordsOf(reportFiles(QStringLiteral("fixture_")).value(0)))
            errors << record.text;
        QCOMPARE(errors.size(), commands.size());
        for (int i = 0; i < commands.size(); ++i)
            QCOMPARE(errors.at(i), QStringLiteral("warning %1").arg(i));
        QCOMPARE(answers.received(), sent);
    }

    // The digest's padding changes at 56 and 64 bytes of text: texts on
    // either side of both boundaries (and of two blocks) are all found.
    void textsAroundTheDigestBlocksAreFound()
    {
        InstallFolder install;
        FixturePath fixtures;
        PowerShellAnswers answers;
        answers.answerThrough(fixtures);
        for (const int length : {10, 55, 56, 57, 63, 64, 65, 119, 120, 128}) {
            const QStringList arguments = {QStringLiteral("Get-Item"), QString(length - 9, QLatin1Char('x'))};
            QVERIFY(answers.add(arguments, QByteArray::number(length)));
            QCOMPARE(run(arguments), QString::number(length));
        }
    }

    // Exit status from ".code"; an unanswered command gets PowerShell's
    // "is not recognized" text naming its first word, and status 1; without
    // the folder named, the fixture refuses to guess.
    void statusAndUnansweredCommands()
    {
        InstallFolder install;
        PowerShellAnswers answers;
        QVERIFY(answers.add(QStringList{QStringLiteral("Get-Vpnconnection")}, "vpn\r\n", {}, 3));
        QProcess fixture;
        pointAt(fixture, answers.path());
        fixture.start(QStringLiteral(FIXTURE_POWERSHELL), {QStringLiteral("Get-Vpnconnection")});
        QVERIFY(fixture.waitForFinished());
        QCOMPARE(fixture.readAllStandardOutput(), QByteArray("vpn\r\n"));
        QCOMPARE(fixture.exitCode(), 3);

        fixture.start(QStringLiteral(FIXTURE_POWERSHELL), {QStringLiteral("Get-NetFirewallRule"), QStringLiteral("-Displayname \"tessaly*\" ")});
        QVERIFY(fixture.waitForFinished());
        QCOMPARE(fixture.exitCode(), 1);
        QCOMPARE(fixture.readAllStandardOutput(), QByteArray());
        const QByteArray errors = fixture.readAllStandardError();
        QVERIFY2(errors.startsWith("Get-NetFirewallRule : The term 'Get-NetFirewallRule' is not recognized as the name of a "
                                   "cmdlet"),
                 errors.constData());
        QVERIFY2(errors.contains("\r\n+ Get-NetFirewallRule -Displayname \"tessaly*\" \r\n+ ~~~~~~~~~~~~~~~~~~~\r\n"),
                 errors.constData());
        QCOMPARE(answers.received(),
                 (QStringList{QStringLiteral("Get-Vpnconnection"), QStringLiteral("Get-NetFirewallRule -Displayname \"tessaly*\" ")}));

        QProcessEnvironment environment = fixture.processEnvironment();
        environment.remove(QStringLiteral("SUPPORTTOOL_POWERSHELL_ANSWERS"));
        fixture.setProcessEnvironment(environment);
        fixture.start(QStringLiteral(FIXTURE_POWERSHELL), {QStringLiteral("Get-Vpnconnection")});
        QVERIFY(fixture.waitForFinished());
        QCOMPARE(fixture.exitCode(), 2);
        QCOMPARE(fixture.readAllStandardOutput(), QByteArray());
    }

    // The fallback answers what has no answer of its own, after its delay,
    // flooding exactly the bytes asked for, then crashing for real; and
    // arguments.txt holds the latest start's arguments as they arrived.
    void fallbackThatWaitsFloodsAndCrashes()
    {
        PowerShellAnswers answers;
        QVERIFY(answers.add(QStringLiteral("Get-Vpnconnection"), "own\r\n"));
        Answer fallback;
        fallback.output = "0123456789abcdef\r\n";
        fallback.errors = "e\n";
        fallback.delayMs = 300;
        fallback.floodBytes = 200001;
        fallback.ending = Ending::Crash;
        QVERIFY(answers.addFallback(fallback));
        QProcess fixture;
        pointAt(fixture, answers.path());

        fixture.start(QStringLiteral(FIXTURE_POWERSHELL), {QStringLiteral("Get-Vpnconnection")});
        QVERIFY(fixture.waitForFinished());
        QCOMPARE(fixture.readAllStandardOutput(), QByteArray("own\r\n"));
        QCOMPARE(fixture.exitStatus(), QProcess::NormalExit);

        const QStringList arguments = {QStringLiteral("Get-Item"), QStringLiteral("-Path \"a b\"")};
        QElapsedTimer clock;
        clock.start();
        fixture.start(QStringLiteral(FIXTURE_POWERSHELL), arguments);
        QVERIFY(fixture.waitForFinished());
        QVERIFY(clock.elapsed() >= 300);
        const auto flooded = [](const QByteArray &text) { return text.repeated(200001 / text.size() + 1).left(200001); };
        QCOMPARE(fixture.readAllStandardOutput(), flooded(fallback.output));
        QCOMPARE(fixture.readAllStandardError(), flooded(fallback.errors));
        QCOMPARE(fixture.exitStatus(), QProcess::CrashExit);
        QCOMPARE(PowerShellAnswers::lastArgumentsIn(answers.path()), arguments);
        QCOMPARE(answers.received().last(), QStringLiteral("Get-Item -Path \"a b\""));
    }
};

QTEST_MAIN(FixturePowerShellTest)
#include "tst_fixturepowershell.moc"
