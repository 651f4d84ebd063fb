#pragma once
// The window's side of the shareable copy: it runs the program that writes
// it, SupportToolShareable, and waits for it as it waits for the archiver
// (a local event loop, a time limit, the close button, an output limit).
// The window itself links no zip library: libzip and the libraries it
// brings cost its every start memory and time.

#include "process/childwait.h"
#include "shareable/shareableoutcome.h"

#include <QString>

namespace shareableprogram {

// Without the ".exe" it has on Windows.
inline QString name() { return QStringLiteral("SupportToolShareable"); }

// Its exit codes.
inline constexpr int kWritten = 0;
inline constexpr int kFailed = 1; // the reason is on standard error
inline constexpr int kUsage = 2;
inline constexpr int kStopped = 3; // its standard input ended, or SIGTERM or SIGINT came
inline constexpr int kAnotherRun = 10; // started by hand while a run holds the installation folder's lock

// The program beside the running one (the installation's), else the first
// on the search path; empty when there is none.
QString locate();

// How long the copy of an archive of archiveBytes may take before the
// program is taken for hung: the archiver's limit for what the archive
// holds unpacked, which is far more than the copy needs.
int timeLimitMs(qint64 archiveBytes);

// What the pane shows of a finished run of the program, which wrote the
// copy of the archive or did not (Failed); Cancelled when the running
// action was cancelled, which shows nothing.
struct Result
{
    shareablecopy::Outcome::Status status = shareablecopy::Outcome::Status::Failed;
    QString paneText;
};
Result resultOf(const childwait::Outcome &outcome, int timeLimitMs);

// Runs the program in the installation folder, which is the current one,
// and waits for it, handing it the run's lock of the folder. After a run that did not end on its own (stopped at its
// time limit or by a cancellation, crashed) the temporary files it may have
// left beside the copy and the map are removed.
Result run();

} // namespace shareableprogram
