#pragma once
// Running a child process while the window stays served: the one wait that
// the command runner and the archiver share.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace childwait {

struct Command
{
    QString program;          // a path, or a name looked up on the search path
    QStringList arguments;
    bool discardOutput = false; // standard output goes to the null device
    // The child's standard input is closed right after the start, so a
    // question it asks meets the end of input instead of waiting for an
    // answer nobody gives. Otherwise it stays open and empty, as a console's.
    bool closeInput = false;
    // At most this many bytes of each channel are kept; a child that writes
    // more is stopped, since nothing past the limit could be used and waiting
    // for it would tie the action up. Negative: no limit.
    int outputLimitBytes = -1;
    // A descriptor (on Windows a handle) of the tool that the child
    // inherits, open in the child whatever its close-on-exec setting, with
    // the variable of the child's environment that names it (its number
    // in decimal): how the tool hands a lock it holds to a program that is
    // part of its run. -1: none.
    qintptr inheritedHandle = -1;
    QByteArray inheritedHandleVariable;
};

struct Outcome
{
    bool failedToStart = false; // program missing or not executable
    bool timedOut = false;      // stopped by the time limit
    bool cancelled = false;     // stopped because the running action was cancelled
    bool crashed = false;       // ended by a signal, the kill of a time-out or cancellation included
    int exitCode = 0;           // when it ended on its own
    int signal = 0;             // the signal that ended it (0: none, or not known on this system)
    QString startError;         // why it could not be started
    QByteArray output;          // standard output, also of a child that was stopped
    QByteArray errors;          // standard error, likewise
    bool outputOverflowed = false; // stopped for writing past the limit on standard output
    bool errorsOverflowed = false; // likewise on standard error
};

// Appends bytes to kept up to limit bytes in all (negative: no limit), and
// tells whether they did not all fit.
bool keepWithin(QByteArray &kept, const char *bytes, int size, int limit);

// Starts the command and waits in a local event loop until it has finished.
// The wait also ends when the child cannot be started, when timeoutMs has
// passed (a negative limit never passes) or when the running action is
// cancelled; a child still running then is killed and collected, so what it
// wrote can still be read.
Outcome run(const Command &command, int timeoutMs);

} // namespace childwait
