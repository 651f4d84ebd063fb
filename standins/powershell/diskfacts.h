#pragma once
// The physical disks of this machine, as the Get-PhysicalDisk pipeline of the
// disk check prints them.

#include "systemroot.h"

#include <QStringList>
#include <QVector>

namespace powershell {

struct PhysicalDisk
{
    QString deviceId;  // the kernel's device name, "nvme0n1"
    QString mediaType; // "SSD", "HDD" or "Unspecified"
    qint64 sizeBytes = 0;
};

// The disks of /sys/block that are hardware: block devices of the kernel's
// own making (loop, ram, zram, device mapper, md), optical drives and empty
// card readers are left out, as Get-PhysicalDisk leaves out everything but disks.
QVector<PhysicalDisk> readPhysicalDisks(const standin::SystemRoot &system);

// One line per disk: "DeviceId={0,-25} Mediatype={1,-12} TotalSize(GB)={2,-16}".
QStringList physicalDiskLines(const QVector<PhysicalDisk> &disks);

} // namespace powershell
