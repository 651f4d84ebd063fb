#pragma once
// Where findings read their reports: the report folder of an installation
// (an archive made by the tool on any machine is read by reportarchive.h,
// with the zip library).

#include "reports/reportset.h"

#include <QString>

namespace findings {

// Limits for reading what another machine made. A report file rolls over
// at about 10 MB, and a support archive holds far fewer entries.
inline constexpr int kMaxArchiveEntries = 10000;
inline constexpr qint64 kMaxReportBytes = 16 * 1024 * 1024;
inline constexpr qint64 kMaxReportBytesInAll = 256 * 1024 * 1024;

struct ArchiveLimits
{
    int entries = kMaxArchiveEntries;
    qint64 reportBytes = kMaxReportBytes;           // one report
    qint64 reportBytesInAll = kMaxReportBytesInAll; // all reports together
};

// The last part of an archive entry's name if its folder is "SupportTool"
// (the report folder's copy), else an empty text.
QString reportNameOf(const QString &entryName);

// The newest reports of a report folder (logs/SupportTool). Anything that
// is not a plain file, cannot be read or is larger than a report gets is
// left out.
NewestReports readReportFolder(const QString &folder);

// The newest reports in logs/SupportTool of the installation folder, which
// is the current folder.
ReportSet installationReports();

} // namespace findings
