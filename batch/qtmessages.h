#pragma once
// Qt's own messages in the headless runner. Qt writes them to standard error
// only where a console is attached; on Windows otherwise to the debugger's
// output, where nobody reads them. And a fatal message, such as the one for a
// platform plugin that cannot be loaded, ends the process with abort(): on
// Windows without a word where no console is attached (under Wine, with a
// display, the crash dialog even waits for a click).

namespace qtmessages {

// From here on every Qt message reaches standard error (on Windows through
// a handler of ours, elsewhere through Qt's own as before), and a fatal one
// ends the run in order: Qt's message, a line of the runner's saying what
// stopped, and the exit status batchexit::kQtStopped. Call first thing.
void toStandardError();

// The application object exists: a fatal message from now on stopped a run
// under way rather than its start.
void applicationStarted();

} // namespace qtmessages
