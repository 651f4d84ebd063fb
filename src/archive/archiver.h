#pragma once
// The 7-Zip command-line archiver that packs the collected logs: finding it,
// running its add command on the list file, and what came of the run.

#include <QString>

namespace archiver {

// The archive and the list file, both in the installation folder.
inline QString archiveName() { return QStringLiteral("zziplog.zip"); }
inline QString listFileName() { return QStringLiteral("logsLocations.txt"); }
// Where 7-Zip writes the new archive; it replaces archiveName() only once
// 7-Zip has succeeded, so a failed or stopped run never leaves a cut-off
// or mixed archive under the archive's name.
inline QString unfinishedArchiveName() { return QStringLiteral("zziplog.unfinished.zip"); }

// The copy the host application ships beside its own files.
inline QString bundledProgram() { return QStringLiteral("./quillon/Content/7z.exe"); }

// What one archive run came to.
struct Result
{
    enum class Status {
        NotRun,        // not (yet) run
        Skipped,       // nothing could be handed to the archiver; errorText says why
        Succeeded,     // exit code 0
        WithWarnings,  // exit code 1: the archive was written, some input could not be read
        NotFound,      // neither the bundled nor a system 7-Zip exists
        FailedToStart, // found but could not be started
        ExitedWithError,
        Crashed,
        NoArchive,     // claimed success, yet wrote no archive
        NotReplaced,   // the new archive could not be put in the old one's place
        TimedOut,      // still running at its time limit, so it was stopped
        Cancelled      // the window was closed while it ran
    };

    Status status = Status::NotRun;
    QString program;   // what was started
    int exitCode = 0;
    QString errorText; // the archiver's standard error, or the start error, or why it was skipped
    int timeLimitMs = -1;

    bool failed() const;
    // True when this run's archive was written to archiveName().
    bool written() const { return status == Status::Succeeded || status == Status::WithWarnings; }
};

// A result for a packing in which the archiver was never started.
Result skipped(const QString &why);

// The archiver to run: the bundled one when it exists and is executable,
// otherwise the first 7-Zip found on the search path (7z, 7zz, 7za).
// Empty when there is none.
QString locate();

// How long packing bytesToPack bytes may take before the archiver is taken
// for hung: far more than the slowest machine needs (10 minutes, plus one
// for every 50 MB), so a healthy run is never cut off, yet a hung one ends.
int timeLimitMs(qint64 bytesToPack);

// Runs "a zziplog.unfinished.zip @logsLocations.txt" with the located
// archiver in the current folder and waits for it in a local event loop, so
// the window keeps being served, at most timeLimitMs (negative: no limit).
// Gives up at once when cancellation was requested. The unfinished archive
// (and a temporary file an older 7-Zip run left beside either archive) is
// removed first, so the archive holds exactly what the list names; when
// 7-Zip succeeded it is renamed over zziplog.zip, otherwise removed, and an
// older zziplog.zip stays as it was.
Result run(int timeLimitMs);

// What 7-Zip's warnings say it could not pack, one "path: why" each; when
// it warned without naming anything, its warnings as one entry.
QStringList notPacked(const Result &result);

// Why a failed run failed, in one phrase for the record and the pane.
QString failureReason(const Result &result);
// The record written instead of the success record when the run failed.
QString failureRecordText(const Result &result);
// The pane line shown instead of the success message when the run failed.
QString failurePaneText(const Result &result);
// The record that follows the success record when 7-Zip had warnings.
QString warningRecordText(const Result &result);

} // namespace archiver
