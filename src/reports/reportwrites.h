#pragma once
// Reports that did not reach their files. The logging library writes the
// report files and keeps quiet when it cannot: it retries a file it cannot
// create only now and then, and on a full disk it stops writing altogether,
// leaving empty or cut-off reports behind a run that looks complete. So
// every record sent while a report is current is tallied as a reader of the
// file will see it (records and their text, parsed as the findings parse
// them), and after each action the report files are read back and held
// against the tally.

#include <QStringList>

namespace reportwrites {

// Starts the tally, once per process (later calls do nothing); to be called
// after the logging library is set up and before the first report switch.
// Files of a report's prefix that were written before this process started
// are never counted as its own.
void watch();

// One line for each report whose files hold fewer records, or less of
// their text, than were sent to it, naming the file and the reason as far
// as it can be told; each report is named once per run. A report is what
// one switch to a prefix began (the records until the next switch), so a
// report run again after another has a file, and a line, of its own.
// Nothing before watch().
QStringList newlyUnwritten();

} // namespace reportwrites
