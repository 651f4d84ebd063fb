// Start-up as a whole: the program is copied into a throw-away installation
// folder and started there the way a user or the launcher starts it.

#include "programstart.h"
#include "startup.h"

#include <QProcess>
#include <QSettings>
#include <QtTest>

using namespace testsupport;

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void installationFolderFromProgramPath_data()
    {
        QTest::addColumn<QString>("programPath");
        QTest::addColumn<QString>("folder");
        QTest::newRow("windows path") << "C:\\Tools\\Support\\SupportTool.exe" << "C:/Tools/Support";
        QTest::newRow("unix path") << "/opt/tessaly render/SupportTool" << "/opt/tessaly render";
        QTest::newRow("mixed separators") << "C:\\Tools/Support\\SupportTool.exe" << "C:/Tools/Support";
        QTest::newRow("bare name") << "SupportTool" << "SupportTool";
        QTest::newRow("root") << "/SupportTool" << "";
    }
    void installationFolderFromProgramPath()
    {
        QFETCH(QString, programPath);
        QFETCH(QString, folder);
        QCOMPARE(startup::installationFolderOf(programPath), folder);
    }

    void firstStartInAFolderWithBlanks()
    {
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("Tessaly Render"));
        const QString program = installProgram(folder);
        QVERIFY(!program.isEmpty());

        // Started from elsewhere: the program's own folder becomes current.
        const ProgramRun run = startProgram(program, program, {}, root.path());
        QCOMPARE(run.exitCode, 0); // the terms dialog was closed: refused
        QVERIFY(QFileInfo(QDir(folder).filePath(QStringLiteral("logs/SupportTool"))).isDir());
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("logs"))));

        QVERIFY(run.defaultLog.size() >= 3);
        QCOMPARE(run.defaultLog.at(0).level, QChar('I'));
        QCOMPARE(run.defaultLog.at(0).file, QStringLiteral("main.cpp"));
        QCOMPARE(run.defaultLog.at(0).line, 60);
        QCOMPARE(run.defaultLog.at(0).text, QStringLiteral("versionId:0.2.9999.0"));
        QCOMPARE(run.defaultLog.at(1).level, QChar('W'));
        QCOMPARE(run.defaultLog.at(1).line, 61);
        QCOMPARE(run.defaultLog.at(1).text, QStringLiteral("SupportTool beg"));
        QCOMPARE(run.defaultLog.at(2).line, 68);
        QCOMPARE(run.defaultLog.at(2).text,
                 QStringLiteral("There is no SupportToolConfig.ini in installzation folder, can not do net network "
                                "speed test"));

        // The refused terms stay unaccepted, in a file that now exists.
        QSettings settings(QDir(folder).filePath(QStringLiteral("SupportToolConfig.ini")), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("AgreeLicense/agreed")).toString(), QStringLiteral("0"));
    }

    void launcherFlagsAreIgnored()
    {
        QTemporaryDir root;
        const QString program = installProgram(root.path());
        writeAgreement(root.path(), QStringLiteral("1"));
        const ProgramRun run = startProgram(program, program,
                              {QStringLiteral("--versionId=1.2.3"), QStringLiteral("--token=secret"),
                               QStringLiteral("--username"), QStringLiteral("someone")},
                              root.path());
        QCOMPARE(run.exitCode, 0); // main window shown, then closed normally
        QVERIFY(!run.defaultLog.isEmpty());
        QCOMPARE(run.defaultLog.first().text, QStringLiteral("versionId:0.2.9999.0"));
        // With the settings file present there is no notice about it.
        for (const auto &record : run.defaultLog)
            QVERIFY(record.line != 68);
    }

    void bareProgramNameLeavesTheFolder()
    {
        QTemporaryDir root;
        const QString program = installProgram(root.filePath(QStringLiteral("bin")));
        const QString elsewhere = root.filePath(QStringLiteral("elsewhere"));
        QDir().mkpath(elsewhere);
        writeAgreement(elsewhere, QStringLiteral("1"));
        const ProgramRun run = startProgram(QStringLiteral("SupportTool"), program, {}, elsewhere);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFileInfo(QDir(elsewhere).filePath(QStringLiteral("logs/SupportTool"))).isDir());
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("bin/logs"))));
    }

    void existingReportFolderIsLeftAlone()
    {
        QTemporaryDir root;
        const QString program = installProgram(root.path());
        writeAgreement(root.path(), QStringLiteral("1"));
        QDir().mkpath(root.filePath(QStringLiteral("logs/SupportTool")));
        const QString old = root.filePath(QStringLiteral("logs/SupportTool/SupportLog_HardWare_old"));
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier report");
        file.close();

        const ProgramRun run = startProgram(program, program, {}, root.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(testsupport::readFile(old), QByteArray("earlier report"));
    }

    void reportFolderThatCannotBeMade()
    {
        QTemporaryDir root;
        const QString program = installProgram(root.path());
        writeAgreement(root.path(), QStringLiteral("1"));
        // A file named "logs" stands where the folder must go.
        QFile blocker(root.filePath(QStringLiteral("logs")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        const ProgramRun run = startProgram(program, program, {}, root.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("cannot be created"), run.errors.constData());
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
