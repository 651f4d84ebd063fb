#include "diskfacts.h"

#include "console.h"

namespace powershell {

namespace {

bool isPhysicalDisk(const standin::SystemRoot &system, const QString &name)
{
    static const QStringList virtualPrefixes{QStringLiteral("loop"), QStringLiteral("ram"), QStringLiteral("zram"),
                                             QStringLiteral("sr")};
    for (const QString &prefix : virtualPrefixes) {
        if (name.startsWith(prefix))
            return false;
    }
    // Disks behind a controller have a "device" link; devices the kernel
    // makes up (dm-0, md0, nbd0) have none. A card reader without a card
    // has a size of 0 and no disk either.
    return system.exists(QStringLiteral("/sys/block/%1/device").arg(name))
        && system.trimmed(QStringLiteral("/sys/block/%1/size").arg(name)).toLongLong() > 0;
}

} // namespace

QVector<PhysicalDisk> readPhysicalDisks(const standin::SystemRoot &system)
{
    QVector<PhysicalDisk> disks;
    for (const QString &name : system.entries(QStringLiteral("/sys/block"))) {
        if (!isPhysicalDisk(system, name))
            continue;
        const QString folder = QStringLiteral("/sys/block/") + name;
        PhysicalDisk disk;
        disk.deviceId = name;
        const QString rotational = system.trimmed(folder + QStringLiteral("/queue/rotational"));
        disk.mediaType = rotational == QLatin1String("0")   ? QStringLiteral("SSD")
                         : rotational == QLatin1String("1") ? QStringLiteral("HDD")
                                                            : QStringLiteral("Unspecified");
        // The size file counts 512-byte sectors whatever the disk's own sector size.
        disk.sizeBytes = system.trimmed(folder + QStringLiteral("/size")).toLongLong() * 512;
        disks << disk;
    }
    return disks;
}

QStringList physicalDiskLines(const QVector<PhysicalDisk> &disks)
{
    QStringList lines;
    for (const PhysicalDisk &disk : disks) {
        const QString size = standin::roundedNumber(static_cast<double>(disk.sizeBytes) / (1 << 30), 2);
        lines << QStringLiteral("DeviceId=") + standin::padRight(disk.deviceId, 25) + QStringLiteral(" Mediatype=")
                     + standin::padRight(disk.mediaType, 12) + QStringLiteral(" TotalSize(GB)=")
                     + standin::padRight(size, 16);
    }
    return lines;
}

} // namespace powershell
