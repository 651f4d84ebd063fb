// Entry point: makes the installation folder current, prepares the report
// folder and the run log, asks for the terms of use once, then runs the
// main window until the user closes it.

#include "app/agreementgate.h"
#include "app/launcherversion.h"
#include "app/startup.h"
#include "installation/runlock.h"
#include "installation/settingsfile.h"
#include "records/records.h"
#include "reports/reportwrites.h"
#include "window/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <gflags/gflags.h>
#include <glog/logging.h>

#include <cstdio>

// What the host application's launcher knows of its user and of itself. The
// launcher passes them on the command line; the tool declares them so they
// exist, but never parses its command line for them.
DEFINE_string(assetUrl, "https://assets.tessaly-render.example/", "assetUrl");
DEFINE_uint32(companyId, 0, "http companyId");
DEFINE_string(companyLogoUrl, "", "http companyLogoUrl");
DEFINE_string(companyName, "", "http companyName");
DEFINE_uint32(companyRole, 0, "http companyRole");
DEFINE_uint32(forceLogin, 0, "");
DEFINE_string(pluginFile, "", "");
DEFINE_uint32(roleId, 0, "http roleId");
DEFINE_string(startFile, "", "");
DEFINE_string(token, "", "http token");
DEFINE_string(updateUrl, "http://updates.tessaly-render.example:8082/", "update url");
DEFINE_uint32(userId, 0, "http userId");
DEFINE_string(username, "debug", "http username");
DEFINE_string(versionId, launcherversion::kDefaultVersionId, "launcher version");

namespace {

// The exit status of a run that another run's lock turned away.
constexpr int kSecondRunExitCode = 10;

bool platformIsHeadless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

#ifndef Q_OS_WIN
// Without a display the toolkit would abort; say what to do instead.
bool displayMissing()
{
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}
#endif

// For unattended runs (smoke tests, screenshots): with SUPPORTTOOL_CLOSE_AFTER_MS
// set, every visible window is closed the way its close button would after
// that many milliseconds, so the run ends normally.
void armAutomaticClose()
{
    bool valid = false;
    const int delay = qEnvironmentVariableIntValue("SUPPORTTOOL_CLOSE_AFTER_MS", &valid);
    if (!valid || delay < 0)
        return;
    auto *timer = new QTimer(qApp); // owned by the application
    QObject::connect(timer, &QTimer::timeout, [] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible())
                widget->close();
        }
    });
    timer->start(delay);
}

// Another run holds the installation folder: says so, in a message box
// where there is a display, and ends with nothing written.
int refuseSecondRun(int argc, char *argv[])
{
    const QString message = runlock::busyMessage(QDir::currentPath());
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
#ifndef Q_OS_WIN
    if (displayMissing())
        return kSecondRunExitCode;
#endif
    startup::WithoutOpenGL withoutOpenGL;
    QApplication app(argc, argv);
    if (!platformIsHeadless())
        QMessageBox::warning(nullptr, QStringLiteral("Tessaly Render Support Tool"), message);
    return kSecondRunExitCode;
}

} // namespace

// On Windows the program is entered at our WinMain stub (winmain.cpp), which
// calls this with the arguments in UTF-8. It is not named main there: MinGW's
// start-up code calls a main of the program itself, with the arguments in the
// 8-bit code page, and only without one does it enter WinMain.
#ifdef Q_OS_WIN
int supportToolMain(int argc, char *argv[])
#else
int main(int argc, char *argv[])
#endif
{
    // The program's own folder, however it was started: its reports,
    // settings and scratch files belong there, not in the user's folder.
    const QString programFolder = startup::programFolder(QString::fromUtf8(argv[0]));
    QDir::setCurrent(programFolder);
    QCoreApplication::addLibraryPath(QStringLiteral("./"));

    // Before anything is written: a second run in the same folder changes
    // nothing, not even the run log.
    QString lockProblem;
    const runlock::Outcome lock = runlock::takeForProcess(QDir::currentPath(), &lockProblem);
    if (lock == runlock::Outcome::Busy)
        return refuseSecondRun(argc, argv);
    if (lock == runlock::Outcome::Unavailable)
        std::fprintf(stderr, "SupportTool: the installation folder cannot be locked against a second run (%s); "
                             "going on without the lock.\n",
                     lockProblem.toLocal8Bit().constData());

    QString reportFolderProblem;
    const bool reportFolderReady = startup::ensureReportFolder(&reportFolderProblem);

    google::InitGoogleLogging(argv[0]);
    startup::tuneLogging();
    reportwrites::watch();

    startup::writeFirstRecords(QString::fromStdString(FLAGS_versionId));

#ifndef Q_OS_WIN
    if (displayMissing()) {
        std::fprintf(stderr,
                     "SupportTool needs a display for its window, and none was found.\n"
                     "Run it inside a desktop session, or headless with QT_QPA_PLATFORM=offscreen,\n"
                     "or run every check and the archive with \"SupportToolBatch all\" (see SupportToolBatch --help).\n");
        return 2;
    }
#endif

    // Before the application object: the window system is chosen with it.
    startup::WithoutOpenGL withoutOpenGL;
    QApplication app(argc, argv);
    startup::appendStandInsToSearchPath(programFolder);

    if (!reportFolderReady) {
        const QString message = startup::reportUnusableReportFolder(reportFolderProblem);
        if (!platformIsHeadless())
            QMessageBox::critical(nullptr, QStringLiteral("Tessaly Render Support Tool"), message);
        return 1;
    }

    armAutomaticClose();

    const QString settingsNotice = startup::noteSettingsFile();

    QString notRecorded;
    if (!agreement::passGate(settingsfile::name(), agreement::runTermsDialog, &notRecorded))
        return 0;

    int exitCode = 0;
    {
        MainWindow window;
        // The records of start-up go to the run log, which nobody reads: a
        // settings file that is not used (so the terms are asked at every
        // start), or an acceptance that was not kept, is said in the pane.
        if (!settingsNotice.isEmpty())
            window.showNotice(settingsNotice);
        else if (!notRecorded.isEmpty())
            window.showNotice(agreement::notRecordedNotice(notRecorded));
        window.show();
        // The first window exists: the window system has chosen for good.
        withoutOpenGL.release();
        exitCode = app.exec();
        // The pane said them as they came; a log of the session keeps them too.
        for (const QString &line : window.unwrittenReports())
            std::fprintf(stderr, "SupportTool: %s\n", line.toLocal8Bit().constData());
    }
    return exitCode;
}
