#pragma once
// Turning the outputs of the hardware commands into check texts and the
// records that frame them. Pure functions: no processes, no widgets, no
// logging, so the cuts can be held against fixed Windows-shaped outputs.
// Lines and fields past the end of a short output count as empty texts, so
// every label stays in place whatever the command printed.

#include "records/records.h"

#include <QSize>
#include <QString>
#include <QVector>

namespace hardwareshaping {

using records::ShapedCheck;

// Processor: the WMI listing without its leading and trailing line ends.
ShapedCheck processor(const QString &output);

// Graphics adapter, built from the answers of its commands.
QString adapterText(const QString &adapterListOutput, const QString &adapterMemoryOutput);
QString memoryUsageText(const QString &memoryUsageOutput);
// The detail from the vendor's tool: its first five comma-separated values.
QString vendorToolDetail(const QString &vendorToolOutput);
// The detail when the vendor's tool is missing: the summed engine load.
QString engineUtilizationDetail(const QString &engineUtilizationOutput);
// Written before the engine load is measured, when the vendor's tool is missing.
records::CheckRecord vendorToolMissingRecord();
ShapedCheck graphicsAdapter(const QString &adapterText, const QString &memoryUsageText, const QString &detail);

// Physical memory: the two figure lines of the listing.
ShapedCheck physicalMemory(const QString &output);

// Page file: the three key=value lines in mebibytes.
ShapedCheck pageFile(const QString &output);

// Disks. The notice is written before anything is asked.
records::CheckRecord diskNoticeRecord();
struct VolumeFigures
{
    QString rootPath;
    qint64 bytesTotal = 0;
    qint64 bytesAvailable = 0;
};
// The physical-disk lines and one line per mounted volume.
ShapedCheck disks(const QString &physicalDisksOutput, const QVector<VolumeFigures> &volumes);

// Screens: the count and the full size of each screen.
ShapedCheck screens(const QVector<QSize> &screenSizes);

} // namespace hardwareshaping
