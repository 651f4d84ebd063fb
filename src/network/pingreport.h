#pragma once
// Copies the results of the ping and route loops into the speed-test
// report and removes the result files.

#include <QString>
#include <QStringList>

namespace pingreport {
inline QString pingResultPath() { return QStringLiteral("logs/SupportTool/pingResult.txt"); }
inline QString routeResultPath() { return QStringLiteral("logs/SupportTool/tracertResult.txt"); }

// Removes both result files (a link or pipe under either name as itself),
// so that the loops about to run start them afresh: the tools append, and
// a file left by a run that was cancelled or killed, or that produced a
// route result without a ping result, would otherwise be reported as this
// run's answers. Returns the paths under which something is left.
QStringList clearResults();

// The result files that are not there as plain files although the address
// list (ipconfig.txt) names at least one target; empty when there is
// nothing to miss.
QStringList missingResults();
} // namespace pingreport

// Switches to the speed-test report. When both result files can be read,
// writes each (bytes unchanged) under its heading and closes it with a
// line of hyphens, then deletes both files. When either is missing it
// writes and deletes nothing (the caller says so when targets were listed:
// see pingreport::missingResults).
void reportPingTracert();
