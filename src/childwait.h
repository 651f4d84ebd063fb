#pragma once
// Running a child process while the window stays served: the one wait that
// the command runner and the archiver share.

#include <QProcess>

namespace childwait {

struct Outcome
{
    bool failedToStart = false; // program missing or not executable
    bool timedOut = false;      // stopped by the time limit
    bool cancelled = false;     // stopped because the running action was cancelled
};

// Starts the process (read-write) and waits in a local event loop until it
// has finished. The wait also ends when the child cannot be started, when
// timeoutMs has passed (a negative limit never passes) or when the running
// action is cancelled; a child still running then is killed and collected,
// so what it wrote can still be read. With closeInput the child's standard
// input is closed right after the start, so a question it asks meets the
// end of input instead of waiting for an answer nobody gives.
Outcome run(QProcess &process, int timeoutMs, bool closeInput = false);

} // namespace childwait
