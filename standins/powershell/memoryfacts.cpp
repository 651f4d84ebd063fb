#include "memoryfacts.h"

#include "console.h"
#include "formatlist.h"

namespace powershell {

namespace {

QString gigabytes(qint64 kiB) { return standin::roundedNumber(static_cast<double>(kiB) / 1024.0 / 1024.0, 2); }

} // namespace

PhysicalMemory readPhysicalMemory(const standin::SystemRoot &system)
{
    PhysicalMemory memory;
    for (const QString &line : system.text(QStringLiteral("/proc/meminfo")).split(QLatin1Char('\n'))) {
        // "MemTotal:       24683772 kB"
        const QStringList words = line.simplified().split(QLatin1Char(' '));
        if (words.size() < 2)
            continue;
        if (words.first() == QLatin1String("MemTotal:"))
            memory.totalKiB = words.at(1).toLongLong();
        else if (words.first() == QLatin1String("MemAvailable:"))
            memory.availableKiB = words.at(1).toLongLong();
    }
    return memory;
}

QStringList physicalMemoryListing(const PhysicalMemory &memory)
{
    return formatList({PropertyBlock{{QStringLiteral("TotalMemorySize"), gigabytes(memory.totalKiB)},
                                     {QStringLiteral("AvailableMemorySize"), gigabytes(memory.availableKiB)}}});
}

} // namespace powershell
