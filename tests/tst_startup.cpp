// Start-up as a whole: the program is copied into a throw-away installation
// folder and started there the way a user or the launcher starts it.

#include "app/startup.h"
#include "environmentvalue.h"
#include "programstart.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QSettings>
#include <QtTest>

using namespace testsupport;

namespace {

const char kXcb[] = "QT_XCB_GL_INTEGRATION";
const char kWayland[] = "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION";
const QString kUnset = QStringLiteral("<unset>");

QStringList seenMessages;
void keepMessage(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    seenMessages << QString::fromLatin1(context.category) + QStringLiteral(": ") + message;
}

} // namespace

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

        // The run log in its folder, without the library's links to it.
        QCOMPARE(run.runLogLinks, QStringList());
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

    // Started by a bare name found on the search path, or by a relative path
    // from another folder, the program still works in its own folder.
    void programFolderHoweverStarted_data()
    {
        QTest::addColumn<QString>("argv0");
        QTest::newRow("bare name") << "SupportTool";
        QTest::newRow("relative path") << "../bin/SupportTool";
    }
    void programFolderHoweverStarted()
    {
        QFETCH(QString, argv0);
        QTemporaryDir root;
        const QString bin = root.filePath(QStringLiteral("bin"));
        const QString program = installProgram(bin);
        writeAgreement(bin, QStringLiteral("1"));
        const QString elsewhere = root.filePath(QStringLiteral("elsewhere"));
        QDir().mkpath(elsewhere);
        const ProgramRun run = startProgram(argv0, program, {}, elsewhere);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFileInfo(QDir(bin).filePath(QStringLiteral("logs/SupportTool"))).isDir());
        QCOMPARE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
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

    // The window system loads no OpenGL stack unless the user asked for one.
    void openGLOffUnlessChosen_data()
    {
        QTest::addColumn<QString>("xcb");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QStringList>("set");
        const QString xcbOff = QStringLiteral("QT_XCB_GL_INTEGRATION=none");
        const QString waylandOff = QStringLiteral("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION=none");
        QTest::newRow("nothing chosen") << kUnset << kUnset << QStringList{xcbOff, waylandOff};
        QTest::newRow("an empty value chooses nothing") << "" << "" << QStringList{xcbOff, waylandOff};
        QTest::newRow("X11 integration chosen") << "xcb_glx" << kUnset << QStringList{waylandOff};
        QTest::newRow("Wayland integration chosen") << kUnset << "wayland-egl" << QStringList{xcbOff};
        QTest::newRow("both chosen") << "xcb_egl" << "xcomposite-glx" << QStringList{};
    }
    void openGLOffUnlessChosen()
    {
        QFETCH(QString, xcb);
        QFETCH(QString, wayland);
        QFETCH(QStringList, set);
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin"));
        if (xcb != kUnset)
            environment.insert(QLatin1String(kXcb), xcb);
        if (wayland != kUnset)
            environment.insert(QLatin1String(kWayland), wayland);
        QStringList settings;
        for (const startup::EnvironmentSetting &setting : startup::openGLOffSettings(environment))
            settings << QString::fromLatin1(setting.name + '=' + setting.value);
        QCOMPARE(settings, set);
    }

    // The choice holds until the first window exists; then the environment is
    // the user's again, for the programs the tool starts (a desktop file
    // browser would otherwise inherit "no OpenGL").
    void openGLDefaultsAreGivenBack()
    {
        const EnvironmentValue xcb(kXcb, {});
        const EnvironmentValue wayland(kWayland, {});
        qputenv(kWayland, ""); // set, but empty
        startup::WithoutOpenGL withoutOpenGL;
        QCOMPARE(qgetenv(kXcb), QByteArray("none"));
        QCOMPARE(qgetenv(kWayland), QByteArray("none"));
        withoutOpenGL.release();
        QVERIFY(!qEnvironmentVariableIsSet(kXcb));
#ifdef Q_OS_WIN
        // Windows holds no empty variable: setting one empty removed it.
        QVERIFY(!qEnvironmentVariableIsSet(kWayland));
#else
        QVERIFY(qEnvironmentVariableIsSet(kWayland));
        QCOMPARE(qgetenv(kWayland), QByteArray());
#endif

        // A value of the user's own is never touched.
        const EnvironmentValue chosen(kXcb, "xcb_glx");
        startup::WithoutOpenGL again;
        QCOMPARE(qgetenv(kXcb), QByteArray("xcb_glx"));
        again.release();
        QCOMPARE(qgetenv(kXcb), QByteArray("xcb_glx"));
    }

    // Only the Wayland plug-in's two warnings about the name "none" are
    // silenced, and only until release.
    void onlyTheNoneWarningsAreSilenced()
    {
        const EnvironmentValue wayland(kWayland, {});
        seenMessages.clear();
        const QtMessageHandler test = qInstallMessageHandler(keepMessage);
        const QLoggingCategory plugin("qt.qpa.wayland");
        const QLoggingCategory other("qt.other");
        {
            startup::WithoutOpenGL withoutOpenGL;
            qCWarning(plugin) << "Failed to load client buffer integration:" << QStringLiteral("none");
            qCWarning(plugin) << "Available client buffer integrations:" << QStringList{QStringLiteral("wayland-egl")};
            qCWarning(plugin) << "Failed to load client buffer integration:" << QStringLiteral("wayland-egl");
            qCWarning(other) << "Available client buffer integrations:";
            withoutOpenGL.release();
            qCWarning(plugin) << "Failed to load client buffer integration:" << QStringLiteral("none");
        }
        qInstallMessageHandler(test);
        QCOMPARE(seenMessages,
                 (QStringList{QStringLiteral("qt.qpa.wayland: Failed to load client buffer integration: \"wayland-egl\""),
                              QStringLiteral("qt.other: Available client buffer integrations:"),
                              QStringLiteral("qt.qpa.wayland: Failed to load client buffer integration: \"none\"")}));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
