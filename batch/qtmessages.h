#pragma once
// Qt's own messages in the headless runner. Qt writes them to standard error
// only where a console window is attached; on Windows otherwise to the
// debugger's output, where nobody reads them. A platform plugin that cannot
// be loaded is a fatal message, which ends the process with abort(); and
// before it, on Windows without a console window, Qt shows the message in a
// message box and waits for its OK: a scripted run started without a console
// window (CREATE_NO_WINDOW, a service) would wait there for good.

namespace qtmessages {

// From here on every Qt message reaches standard error (on Windows through
// a handler of ours, elsewhere through Qt's own as before), and a fatal one
// ends the run in order: Qt's message, a line of the runner's saying what
// stopped, and the exit status batchexit::kQtStopped. On Windows no message
// box is shown on this thread any more. Call first thing.
void toStandardError();

// The application object exists: a fatal message from now on stopped a run
// under way rather than its start.
void applicationStarted();

} // namespace qtmessages
