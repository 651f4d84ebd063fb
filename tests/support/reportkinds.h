#pragma once
// Which reports an action left: the report folder's files by prefix.

#include <QString>

namespace testsupport {

// The report prefixes of the files in logs/SupportTool of the current
// folder, sorted and joined by ", ", one entry per file; a file that is not
// a report shows under its own name. (The logging library's links to its
// latest file are not files of their own.)
QString reportKinds();

} // namespace testsupport
