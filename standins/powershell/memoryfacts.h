#pragma once
// The physical memory of this machine, as the Win32_OperatingSystem query
// of the memory check prints it.

#include "systemroot.h"

#include <QStringList>

namespace powershell {

struct PhysicalMemory
{
    qint64 totalKiB = 0;
    qint64 availableKiB = 0;
};

// MemTotal and MemAvailable of /proc/meminfo.
PhysicalMemory readPhysicalMemory(const standin::SystemRoot &system);

// The format-list output: both sizes in GB rounded to 2 decimals.
QStringList physicalMemoryListing(const PhysicalMemory &memory);

} // namespace powershell
