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
// The piece a report is read in: only this, a line and what the findings
// keep are held at a time.
inline constexpr int kReadPieceBytes = 64 * 1024;

struct ArchiveLimits
{
    int entries = kMaxArchiveEntries;
    qint64 reportBytes = kMaxReportBytes;           // one report
    qint64 reportBytesInAll = kMaxReportBytesInAll; // all reports together
};

// The last part of an archive entry's name if its folder is "SupportTool"
// (the report folder's copy), else an empty text.
QString reportNameOf(const QString &entryName);

// "it holds more than 16777216 bytes, more than a report gets": why a
// report of that size is not read.
QString tooLargeText(qint64 limit);

// Why folder cannot be listed ("Permission denied"), or an empty text when
// it can: QDir lists an unreadable folder as an empty one.
QString whyNotListed(const QString &folder);

// Reads the reports of a report folder (logs/SupportTool) into reports,
// one at a time. A file named like a report that is not a plain file, is
// larger than a report gets or cannot be read is named as not read, with
// why. False, with the reason, when the folder itself cannot be listed.
bool readReportFolder(const QString &folder, NewestReports *reports, QString *problem);

// The newest reports in logs/SupportTool of the installation folder, which
// is the current folder.
ReportSet installationReports();

} // namespace findings
