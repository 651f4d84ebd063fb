#pragma once
// The reports inside an archive the tool made, on any machine: what
// SupportToolBatch --read takes, besides a report folder.

#include "reports/reportsources.h"

#include <QString>

namespace findings {

// The newest reports inside an archive: entries named like a report in a
// folder "SupportTool". False, with the reason, when the archive is
// refused or a report in it cannot be read.
bool readReportArchive(const QString &archivePath, NewestReports *reports, QString *problem,
                       const ArchiveLimits &limits = ArchiveLimits());

// What --read takes: an archive, a report folder, or an installation
// folder holding logs/SupportTool. False, with the reason, when nothing
// readable holds a report there.
bool readReportsAt(const QString &path, NewestReports *reports, QString *problem);

} // namespace findings
