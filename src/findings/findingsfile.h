#pragma once
// The findings file in the report folder, written after the combined
// actions so that the archive carries the findings beside the reports.

#include <QString>

namespace findingsfile {

// "logs/SupportTool/findings.txt", relative to the installation folder.
QString path();

// Replaces the findings file with text (UTF-8); a link standing under the
// name is removed rather than written through. False, with the reason,
// when it cannot be written, and then no file is left under the name.
bool write(const QString &text, QString *problem);

} // namespace findingsfile
