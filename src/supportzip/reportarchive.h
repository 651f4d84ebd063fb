#pragma once
// The reports inside an archive the tool made, on any machine, or in a
// report folder: what SupportToolBatch --read takes, and what it makes of
// it.

#include "findings/findings.h"
#include "reports/reportsources.h"

#include <QString>

#include <optional>

namespace findings {

// The newest reports inside an archive: entries named like a report in a
// folder "SupportTool", read one at a time. False, with the reason, when
// the archive is refused or a report entry in it is too large or damaged.
bool readReportArchive(const QString &archivePath, NewestReports *reports, QString *problem,
                       const ArchiveLimits &limits = ArchiveLimits());

// What --read takes: an archive, a report folder, or an installation
// folder holding logs/SupportTool. False, with the reason, when it cannot
// be read or holds no file named like a report.
bool readReportsAt(const QString &path, NewestReports *reports, QString *problem);

// What --read makes of one path: the findings of the reports there, the
// reports read and those not understood. Nothing, with the reason in
// *problem, when no report there can be read. Self-contained: it keeps no
// state between calls, and what it holds is bounded whatever the archive or
// folder holds.
std::optional<Review> reviewAt(const QString &path, QString *problem);

} // namespace findings
