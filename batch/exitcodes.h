#pragma once
// The headless runner's exit statuses; --help and the README list them.

namespace batchexit {

inline constexpr int kSuccess = 0;          // every requested action ran
inline constexpr int kUsage = 2;            // bad command line
inline constexpr int kUnusableFolder = 3;   // installation folder missing, not a folder, or no report folder
inline constexpr int kTermsNotAccepted = 4; // no recorded agreement and no --accept-terms: nothing ran
inline constexpr int kInterrupted = 5;      // stopped by a signal: the running action was cancelled
inline constexpr int kNoReports = 6;        // --read: a source refused (the others printed); findings: no report
inline constexpr int kNoShareableCopy = 7;  // --shareable: a shareable copy was not written
inline constexpr int kZipIncomplete = 8;    // a zip step wrote no archive of this run, or left files out of it
inline constexpr int kReportNotWritten = 9; // a report could not be written in full
inline constexpr int kAnotherRun = 10;      // another run of the tool is using this installation folder
inline constexpr int kQtStopped = 11;       // Qt ended the run with a fatal error (no offscreen platform)

} // namespace batchexit
