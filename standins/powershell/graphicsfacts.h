#pragma once
// The display adapters of this machine (PCI display class) with the facts
// their kernel drivers expose, as the graphics queries of Windows print them.

#include "systemroot.h"

#include <QStringList>
#include <QVector>

#include <optional>

namespace powershell {

struct DisplayAdapter
{
    QString pciAddress;    // "0000:03:00.0"
    QString name;          // vendor and device name from the PCI id database
    QString driver;        // kernel driver bound to it, empty when none
    QString driverVersion; // driver name and version, empty when no driver
    std::optional<qint64> memoryTotalBytes;
    std::optional<qint64> memoryUsedBytes;
    std::optional<double> busyPercent;
};

// The PCI display devices (class 0x03xxxx) in bus order.
QVector<DisplayAdapter> readDisplayAdapters(const standin::SystemRoot &system);

// "Vendor Device" from the text of a pci.ids database; unknown ids are
// shown as numbers so the adapter still has a name.
QString pciDeviceName(const QString &pciIds, const QString &vendorId, const QString &deviceId);

// The outputs of the four graphics scripts (lines without line ends).
QStringList videoControllerListing(const QVector<DisplayAdapter> &adapters);
QStringList adapterMemoryLines(const QVector<DisplayAdapter> &adapters);
QStringList gpuMemoryUsageLines(const QVector<DisplayAdapter> &adapters);
QStringList gpuEngineUtilizationLines(const QVector<DisplayAdapter> &adapters);

} // namespace powershell
