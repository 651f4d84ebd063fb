#pragma once
// The inspection object: the one place where the tool asks the operating
// system about the machine. Each check runs a command through runCommand,
// reshapes its output into a check text, hands that back through an output
// string and writes a framed record of it to the run log.

#include "archive/logtreecopy.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace packing {
struct Outcome;
}

class displaysystemrelatedinfo : public QObject
{
    Q_OBJECT

public:
    // A command that has not ended after this long is stopped. Generous on
    // purpose: it only guards against a child that never ends.
    static constexpr int kDefaultCommandTimeoutMs = 5 * 60 * 1000;
    // The limit every command gets unless its caller names one: the default
    // above, or SUPPORTTOOL_COMMAND_TIMEOUT_MS when that holds a positive
    // number (read once; for test runs that must not wait minutes).
    static int defaultCommandTimeoutMs();
    // No check can use more of a command's output than this; a child that
    // writes more on either channel is stopped and the rest is not kept, so
    // a runaway command cannot exhaust the memory or bury the pane. The
    // longest real answers (the update list of an old machine) stay far
    // below it, and the logging library cuts every record to 30000 bytes.
    static constexpr int kOutputLimitBytes = 1024 * 1024;

    displaysystemrelatedinfo();

    static displaysystemrelatedinfo *instance();

    // Runs program with arguments and returns its standard output decoded
    // from the local 8-bit code page. A program text that begins with a
    // double quote and comes with no arguments is a whole command line: the
    // quoted executable path followed by its options.
    QString runCommand(QStringList arguments, QString program, int timeoutMs = defaultCommandTimeoutMs());
    // False when the last command did not run to its own end: it could not
    // be started, was stopped (time limit, output limit, cancellation) or
    // crashed. Its output then says nothing about the machine, so a check
    // whose empty answer would mean "there is none" writes no finding.
    static bool lastCommandAnswered();

    // Hardware.
    void getCpuInfo(QString &output);
    void getGpuInfo(QString &output);
    void getMemoryInfo(QString &output);
    void getPageFileInfo(QString &output);
    void getDiskInfo(QString &output);
    void getScreenInfo(QString &output);

    // Graphics capability.
    void getTdrInfo(QString &output);
    void checkD3D12Support();

    // System and software.
    void getSystemUpdateInfo(QString &output);
    void getFirewallInfo(QString &configuration, QString &rules);
    void getNetworkInfo(QString &status, QString &vpn);
    void getProcessInfo(QString &output);

    // Address tests of the network diagnosis.
    void runPing(QString &output);
    void runTracert(QString &output);

    // Log collection and archive.
    void collectAndZipLogs(QString &appDataFolder);
    // The same, telling the caller what came of the packing.
    void collectAndZipLogs(QString &appDataFolder, packing::Outcome &packed);
    // What became of the copy; made only when the source folder exists and
    // its copy could be made.
    logtreecopy::Outcome copyLogFolder(const QString &source, const QString &destination);
    void removeCopiedFolder(const QString &folder);
    void removeLastZip();
};
