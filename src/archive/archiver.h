#pragma once
// The 7-Zip command-line archiver that packs the collected logs: finding it,
// running its add command on the list file, and what came of the run.

#include <QString>

namespace archiver {

// The archive and the list file, both in the installation folder.
inline QString archiveName() { return QStringLiteral("zziplog.zip"); }
inline QString listFileName() { return QStringLiteral("logsLocations.txt"); }

// The copy the host application ships beside its own files.
inline QString bundledProgram() { return QStringLiteral("./quillon/Content/7z.exe"); }

// What one archive run came to.
struct Result
{
    enum class Status {
        NotRun,        // no logs were found, so nothing was to be packed
        Succeeded,     // exit code 0
        WithWarnings,  // exit code 1: the archive was written, some input could not be read
        NotFound,      // neither the bundled nor a system 7-Zip exists
        FailedToStart, // found but could not be started
        ExitedWithError,
        Crashed,
        NoArchive,     // claimed success, yet zziplog.zip is missing or was left untouched
        TimedOut,      // still running at its time limit, so it was stopped
        Cancelled      // the window was closed while it ran
    };

    Status status = Status::NotRun;
    QString program;   // what was started
    int exitCode = 0;
    QString errorText; // the archiver's standard error, or the start error
    int timeLimitMs = -1;

    bool failed() const;
};

// The archiver to run: the bundled one when it exists and is executable,
// otherwise the first 7-Zip found on the search path (7z, 7zz, 7za).
// Empty when there is none.
QString locate();

// How long packing bytesToPack bytes may take before the archiver is taken
// for hung: far more than the slowest machine needs (10 minutes, plus one
// for every 50 MB), so a healthy run is never cut off, yet a hung one ends.
int timeLimitMs(qint64 bytesToPack);

// Runs "a zziplog.zip @logsLocations.txt" with the located archiver in the
// current folder and waits for it in a local event loop, so the window
// keeps being served, at most timeLimitMs (negative: no limit). Gives up
// at once when cancellation was requested.
Result run(int timeLimitMs);

// Why a failed run failed, in one phrase for the record and the pane.
QString failureReason(const Result &result);
// The record written instead of the success record when the run failed.
QString failureRecordText(const Result &result);
// The pane line shown instead of the success message when the run failed.
QString failurePaneText(const Result &result);
// The record that follows the success record when 7-Zip had warnings.
QString warningRecordText(const Result &result);

} // namespace archiver
