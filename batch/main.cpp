// The headless runner: runs the window's actions on a window that is never
// shown, for machines without a display and for scripted collection. Every
// check is the window's own; this file only starts up as the program does,
// checks the recorded agreement and prints what the pane receives.

#include "app/agreementgate.h"
#include "app/eula.h"
#include "app/launcherversion.h"
#include "app/startup.h"
#include "batchoptions.h"
#include "exitcodes.h"
#include "findingsprinter.h"
#include "installation/runlock.h"
#include "installation/settingsfile.h"
#include "panetextprinter.h"
#include "processarguments.h"
#include "qtmessages.h"
#include "readrun.h"
#include "records/records.h"
#include "reports/reportwrites.h"
#include "stopsignals.h"
#include "window/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include <glog/logging.h>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

void say(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void complain(const QString &message) { say(stderr, QStringLiteral("SupportToolBatch: ") + message + QLatin1Char('\n')); }

// Makes folder current. Returns false, with a reason, when it cannot be used.
bool enterInstallationFolder(const QString &folder, QString *reason)
{
    const QFileInfo info(folder);
    if (!info.exists())
        *reason = QStringLiteral("it does not exist");
    else if (!info.isDir())
        *reason = QStringLiteral("it is not a folder");
    else if (!QDir::setCurrent(info.absoluteFilePath()))
        *reason = QStringLiteral("it cannot be entered");
    else
        return true;
    return false;
}

QString refusalText(const QString &folder)
{
    QString terms;
    {
        const EULA dialog;
        terms = dialog.termsText();
    }
    return QStringLiteral("SupportToolBatch: the terms of use of the Tessaly Render Support Tool have not been "
                          "accepted in \"%1\", so nothing was run. These are the terms:\n\n%2\n\n"
                          "To accept them, run again with --accept-terms: the acceptance is recorded in %3 as the "
                          "tool's terms dialog records its OK, and later runs need not repeat it.\n")
        .arg(QDir::toNativeSeparators(folder), terms.trimmed(), settingsfile::name());
}

} // namespace

int main(int argc, char *argv[])
{
    qtmessages::toStandardError();
#ifdef Q_OS_WIN
    // Standard output carries the same bytes as elsewhere: UTF-8 texts with
    // "\n" after each, and the "\r\n" of the Windows commands' own lines as
    // they came. In the C runtime's text mode every "\n" would become "\r\n",
    // and those lines "\r\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const batchoptions::Options options = batchoptions::parse(processarguments::of(argc, argv));
    switch (options.request) {
    case batchoptions::Options::Request::Help:
        say(stdout, batchoptions::helpText());
        return batchexit::kSuccess;
    case batchoptions::Options::Request::Version:
        say(stdout, QLatin1String("SupportToolBatch " SUPPORTTOOL_VERSION "\n"));
        return batchexit::kSuccess;
    case batchoptions::Options::Request::Error:
        complain(options.error);
        say(stderr, batchoptions::usageHint());
        return batchexit::kUsage;
    case batchoptions::Options::Request::Read:
        // Someone else's archives or reports: no installation, no terms, no
        // logging set up, nothing written.
        return readrun::run(stdout, {options.readPaths, options.json, options.summary}, complain)
            ? batchexit::kSuccess
            : batchexit::kNoReports;
    case batchoptions::Options::Request::Run:
        break;
    }

    // The very window of the program, never shown: no display is needed,
    // and the session's display (X11, Wayland) is not handed on to the
    // programs the checks start.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    qtmessages::applicationStarted();
    // Standard error carries the progress; the checks' debug traces (the
    // whole update list, for one) would bury it.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));

    const QString programFolder = startup::programFolder(QString::fromLocal8Bit(argv[0]));
    const QString folder = options.installDir.isEmpty() ? programFolder : options.installDir;
    QString problem;
    if (!enterInstallationFolder(folder, &problem)) {
        complain(QStringLiteral("the installation folder \"%1\" cannot be used: %2.")
                     .arg(QDir::toNativeSeparators(folder), problem));
        return batchexit::kUnusableFolder;
    }

    // Before anything is written: a second run in the same folder changes
    // nothing, not even the run log.
    switch (runlock::takeForProcess(QDir::currentPath(), &problem)) {
    case runlock::Outcome::Held:
        break;
    case runlock::Outcome::Busy:
        complain(runlock::busyMessage(QDir::currentPath()));
        return batchexit::kAnotherRun;
    case runlock::Outcome::Unavailable:
        complain(QStringLiteral("the installation folder cannot be locked against a second run (%1); going on "
                                "without the lock.")
                     .arg(problem));
        break;
    }

    // Nobody is asked here: without the acceptance recorded or given, the
    // run ends before it writes anything (no report folder, no run log, no
    // settings file saying that the terms were asked).
    if (!options.acceptTerms && !agreement::consentRecorded(settingsfile::name())) {
        say(stderr, refusalText(QDir::currentPath()));
        if (const settingsfile::Contents contents = settingsfile::read();
            contents.state == settingsfile::Contents::State::Unreadable)
            complain(settingsfile::unreadableNotice(contents) + QLatin1Char('.'));
        return batchexit::kTermsNotAccepted;
    }

    // From here on, start-up as the program's.
    const bool reportFolderReady = startup::ensureReportFolder(&problem);
    google::InitGoogleLogging(argv[0]);
    startup::tuneLogging();
    reportwrites::watch();
    startup::writeFirstRecords(QString::fromLatin1(launcherversion::kDefaultVersionId));
    if (!reportFolderReady) {
        startup::reportUnusableReportFolder(problem);
        return batchexit::kUnusableFolder;
    }
    // The stand-ins beside this program, not beside the installation: the
    // installation folder may hold only the host application.
    startup::appendStandInsToSearchPath(programFolder);

    startup::noteSettingsFile();

    // Never asks: the agreement is recorded already (see above), or given
    // explicitly on the command line and recorded as the dialog's OK would be.
    QString notRecorded;
    if (options.acceptTerms)
        agreement::passGate(settingsfile::name(), [] { return int(QDialog::Accepted); }, &notRecorded);
    if (!notRecorded.isEmpty())
        complain(agreement::notRecordedNotice(notRecorded) + QLatin1Char('.'));

    MainWindow window;
    // No file browser is opened on the archive at the end of a scripted run,
    // here or on Windows; the pane still says where the archive is.
    window.setRevealsArchive(false);
    // The window makes its shareable copy after "Check All and Zip At Once";
    // a scripted run only when asked, and then after every zip step.
    window.setShareableCopy(options.shareable ? MainWindow::ShareableCopy::AfterEveryZip
                                              : MainWindow::ShareableCopy::Never);
    PaneTextPrinter printer(options.json ? PaneTextPrinter::Format::JsonLines : PaneTextPrinter::Format::Plain,
                            options.actions.size());
    window.setPaneObserver(&printer);
    // As the close button does: cancel the running action.
    const StopSignals stopSignals([&window] { window.close(); });

    int complained = 0; // shareable copies not written, said on standard error
    int zipsComplained = 0; // zip steps that fell short, said there too
    int unwrittenSaid = 0; // reports not written in full, likewise
    for (const batchactions::Action *action : options.actions) {
        printer.actionStarted(action->name);
        if (action->slot) {
            (window.*(action->slot))();
        } else if (QString problem; !findingsprinter::printInstallationFindings(stdout, options.json, &problem)) {
            complain(problem + QLatin1Char('.'));
            return batchexit::kNoReports;
        }
        // Said also when a signal stopped the run: what was written is short.
        for (int i = unwrittenSaid; i < window.unwrittenReports().size(); ++i)
            complain(window.unwrittenReports().at(i));
        unwrittenSaid = window.unwrittenReports().size();
        if (stopSignals.received()) {
            complain(QStringLiteral("stopped by a signal: %1 was cancelled, later actions were not run.")
                         .arg(action->name));
            return batchexit::kInterrupted;
        }
        for (int i = complained; i < window.shareableCopyFailures().size(); ++i)
            complain(window.shareableCopyFailures().at(i));
        complained = window.shareableCopyFailures().size();
        for (int i = zipsComplained; i < window.zipShortfalls().size(); ++i)
            complain(window.zipShortfalls().at(i));
        zipsComplained = window.zipShortfalls().size();
        printer.actionFinished();
    }
    // A report short of records is a run that did not do its job.
    if (!window.unwrittenReports().isEmpty())
        return batchexit::kReportNotWritten;
    if (!window.shareableCopyFailures().isEmpty())
        return batchexit::kNoShareableCopy;
    return window.zipShortfalls().isEmpty() ? batchexit::kSuccess : batchexit::kZipIncomplete;
}
