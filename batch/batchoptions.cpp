#include "batchoptions.h"

#include "exitcodes.h"
#include "window/mainwindow.h"

#include <algorithm>

namespace batchoptions {

namespace {

const QString kInstallDir = QStringLiteral("--install-dir");
const QString kRead = QStringLiteral("--read");

Options failure(const QString &error)
{
    Options options;
    options.request = Options::Request::Error;
    options.error = error;
    return options;
}

bool isOption(const QString &argument, const QString &option)
{
    return argument == option || argument.startsWith(option + QLatin1Char('='));
}

// The value of an option given as "--name VALUE" or "--name=VALUE" at
// arguments[i] (i moves past it), or an error when it is missing, empty
// or given twice. An option where the value should stand means the value
// was left out; "--" before it ends the options (*optionsEnded), so that
// a value may begin with "-".
QString takeValue(const QStringList &arguments, int &i, const QString &option, const QString &what, bool given,
                  QString *value, bool *optionsEnded)
{
    const QString &argument = arguments.at(i);
    if (argument == option) {
        int at = i + 1;
        if (at < arguments.size() && arguments.at(at) == QLatin1String("--")) {
            *optionsEnded = true;
            ++at;
        }
        if (at >= arguments.size())
            return QStringLiteral("%1 needs %2").arg(option, what);
        if (!*optionsEnded && arguments.at(at).startsWith(QLatin1Char('-')))
            return QStringLiteral("%1 needs %2, not the option \"%3\"").arg(option, what, arguments.at(at));
        *value = arguments.at(at);
        i = at;
    } else {
        *value = argument.mid(option.size() + 1);
    }
    if (value->isEmpty())
        return QStringLiteral("%1 needs %2, not an empty text").arg(option, what);
    if (given)
        return QStringLiteral("%1 is given more than once").arg(option);
    return QString();
}

} // namespace

Options parse(const QStringList &arguments)
{
    Options options;
    bool installDirGiven = false;
    bool optionsEnded = false; // after "--" every argument is an action, or after --read a path
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if ((optionsEnded || !argument.startsWith(QLatin1Char('-'))) && !options.readPaths.isEmpty()) {
            if (argument.isEmpty())
                return failure(QStringLiteral("--read needs archives or folders, not an empty text"));
            options.readPaths << argument; // --read PATH...
        } else if (optionsEnded || !argument.startsWith(QLatin1Char('-'))) {
            const batchactions::Action *action = batchactions::find(argument);
            if (!action)
                return failure(QStringLiteral("unknown action \"%1\" (the actions are %2)")
                                   .arg(argument, batchactions::namesInWords()));
            options.actions << action;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help")) {
            options.request = Options::Request::Help;
            return options;
        } else if (argument == QLatin1String("--version")) {
            options.request = Options::Request::Version;
            return options;
        } else if (argument == QLatin1String("--json")) {
            options.json = true;
        } else if (argument == QLatin1String("--accept-terms")) {
            options.acceptTerms = true;
        } else if (argument == QLatin1String("--shareable")) {
            options.shareable = true;
        } else if (argument == QLatin1String("--summary")) {
            options.summary = true;
        } else if (isOption(argument, kInstallDir)) {
            const QString error =
                takeValue(arguments, i, kInstallDir, QStringLiteral("a folder"), installDirGiven, &options.installDir,
                          &optionsEnded);
            if (!error.isEmpty())
                return failure(error);
            installDirGiven = true;
        } else if (isOption(argument, kRead)) {
            QString path;
            const QString error = takeValue(arguments, i, kRead, QStringLiteral("an archive or a folder"),
                                            !options.readPaths.isEmpty(), &path, &optionsEnded);
            if (!error.isEmpty())
                return failure(error);
            options.readPaths << path;
        } else {
            return failure(QStringLiteral("unknown option \"%1\"").arg(argument));
        }
    }
    if (!options.readPaths.isEmpty()) {
        // Reading runs nothing in an installation: nothing else applies.
        if (!options.actions.isEmpty() || installDirGiven || options.acceptTerms || options.shareable)
            return failure(QStringLiteral("--read takes no action, --install-dir, --accept-terms or --shareable"));
        options.request = Options::Request::Read;
        return options;
    }
    if (options.summary)
        return failure(QStringLiteral("--summary is for --read"));
    if (options.actions.isEmpty())
        return failure(QStringLiteral("no action given (the actions are %1)").arg(batchactions::namesInWords()));
    // The copy is made of the archive: without a zip step there is none to make.
    const bool zips = std::any_of(options.actions.cbegin(), options.actions.cend(), [](const batchactions::Action *action) {
        return action->slot == &MainWindow::zipLogs || action->slot == &MainWindow::gatherAndZipAtOnce;
    });
    if (options.shareable && !zips)
        return failure(QStringLiteral("--shareable needs the action zip or all"));
    return options;
}

QString usageHint()
{
    return QStringLiteral("Usage: SupportToolBatch [--install-dir DIR] [--json] [--accept-terms] [--shareable] ACTION...\n"
                          "       SupportToolBatch --read PATH... [--json] [--summary]\n"
                          "       SupportToolBatch --help | --version\n"
                          "Run \"SupportToolBatch --help\" for the actions, the options and the exit statuses.\n");
}

QString helpText()
{
    QString actions;
    for (const batchactions::Action &action : batchactions::all())
        actions += QStringLiteral("  %1%2\n").arg(action.name, -10).arg(action.button);

    return QStringLiteral(
               "Usage: SupportToolBatch [--install-dir DIR] [--json] [--accept-terms] [--shareable] ACTION...\n"
               "       SupportToolBatch --read PATH... [--json] [--summary]\n"
               "       SupportToolBatch --help | --version\n"
               "\n"
               "Runs the Tessaly Render Support Tool's actions without a window, in the order given, and\n"
               "prints every text the tool's pane receives, in order, to standard output. The reports go to\n"
               "logs/SupportTool in the installation folder and the archive to zziplog.zip there, exactly as\n"
               "from the window. Progress (the action and check running, how many are done) goes to\n"
               "standard error.\n"
               "\n"
               "Actions (the window's buttons, then findings):\n")
        + actions
        + QStringLiteral(
               "  (auto runs hardware, software and network; all runs them and then zip; both end with\n"
               "  the findings, also written to logs/SupportTool/findings.txt)\n"
               "\n"
               "Options:\n"
               "  --install-dir DIR  the Tessaly Render installation folder to run in\n"
               "                     (default: the folder this program is in)\n"
               "  --json             one JSON object per line and pane text instead of plain text:\n"
               "                     {\"action\": ACTION, \"check\": the check that produced it, \"text\": ...};\n"
               "                     each finding as {\"finding\": CODE, \"severity\": ..., \"title\": ...,\n"
               "                     \"evidence\": ..., \"advice\": ...}\n"
               "  --accept-terms     accept the tool's terms of use; the acceptance is recorded in\n"
               "                     SupportToolConfig.ini as the terms dialog's OK records it. Without it\n"
               "                     the terms must have been accepted before, or nothing is run.\n"
               "  --shareable        after each zip step (zip, all), also write zziplog_shareable.zip: a copy\n"
               "                     of the archive with the computer's and user's names, the network's\n"
               "                     names and the IP and MAC addresses replaced by stand-ins, for sharing;\n"
               "                     what they replace goes to zziplog_shareable_map.txt, never into the copy\n"
               "  --read PATH...     print the findings of the reports in an archive (zziplog.zip) or a\n"
               "                     folder (logs/SupportTool, or an installation folder) from any machine;\n"
               "                     runs no check, needs no installation and writes nothing. Reports it\n"
               "                     cannot read are named (\"Reports not understood: NAME (why)\"; with\n"
               "                     --json {\"report_not_understood\": NAME, \"why\": ...}). Several paths, or\n"
               "                     a folder holding archives (*.zip) or report folders below it: each\n"
               "                     one read, in parallel, and printed in order under \"==> PATH <==\"\n"
               "                     (with --json each line gains \"source\": PATH, and one refused is\n"
               "                     {\"source\": PATH, \"error\": ...})\n"
               "  --summary          with --read: then a table of each finding's code, how many sources\n"
               "                     show it and its severity, and how many were read and refused\n"
               "  --                 ends the options: \"--read -- -name\" reads the path -name\n"
               "  --help             show this text\n"
               "  --version          show the version\n"
               "\n"
               "Exit status:\n"
               "  %1  every requested action ran (or the findings of every source were printed)\n"
               "  %2  bad usage (unknown action or option, no action, option without its value or with\n"
               "     an option in its place, --shareable without zip or all)\n"
               "  %3  unusable installation folder (missing, not a folder, report folder cannot be made)\n"
               "  %4  the terms of use have not been accepted: nothing was run\n"
               "  %5  stopped by SIGINT or SIGTERM: the running action was cancelled, later ones not run\n"
               "  %6  no reports to read: an archive or folder of --read cannot be read (damaged, refused) or\n"
               "     holds no report it can read (the others are still printed), or the installation holds\n"
               "     none for findings\n"
               "  %7  --shareable: a shareable copy was not written (the reason is on standard error)\n"
               "  %8  a zip step (zip, all) wrote no archive of this run, or left files or folders out of\n"
               "     it (the pane's line saying so is on standard error too; 7 comes first)\n"
               "  %9  a report could not be written in full (the report file and the reason are on standard\n"
               "     error); comes before %7 and %8\n"
               "  %10  another run of the tool is using this installation folder: nothing was run or written\n"
               "  %11  Qt stopped the run with a fatal error, its message on standard error: before the first\n"
               "      action when its offscreen platform cannot be loaded (on Windows the plugin\n"
               "      platforms\\qoffscreen.dll beside this program, or a DLL it needs, is missing)\n")
              .arg(batchexit::kSuccess)
              .arg(batchexit::kUsage)
              .arg(batchexit::kUnusableFolder)
              .arg(batchexit::kTermsNotAccepted)
              .arg(batchexit::kInterrupted)
              .arg(batchexit::kNoReports)
              .arg(batchexit::kNoShareableCopy)
              .arg(batchexit::kZipIncomplete)
              .arg(batchexit::kReportNotWritten)
              .arg(batchexit::kAnotherRun)
              .arg(batchexit::kQtStopped);
}

} // namespace batchoptions
