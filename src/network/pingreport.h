#pragma once
// Copies the results of the ping and route loops into the speed-test
// report and removes the result files.

#include <QString>

namespace pingreport {
inline QString pingResultPath() { return QStringLiteral("logs/SupportTool/pingResult.txt"); }
inline QString routeResultPath() { return QStringLiteral("logs/SupportTool/tracertResult.txt"); }
} // namespace pingreport

// Switches to the speed-test report. When both result files can be read,
// writes each (bytes unchanged) under its heading and closes it with a
// line of hyphens, then deletes both files. When either is missing it
// writes and deletes nothing, so no speed-test report appears.
void reportPingTracert();
