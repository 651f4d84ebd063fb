#pragma once
// The processor packages of this machine, as win32_processor describes them.

#include "systemroot.h"

#include <QStringList>
#include <QVector>

namespace powershell {

struct Processor
{
    QString caption;           // "Intel64 Family 6 Model 167 Stepping 1"
    QString manufacturer;      // "GenuineIntel"
    QString maxClockSpeed;     // MHz, whole number
    QString name;              // the brand string
    QString socketDesignation; // "CPU 0"
};

// One entry per physical package, in package order, from /proc/cpuinfo, the
// cpufreq limits and (where readable) the firmware's processor tables.
QVector<Processor> readProcessors(const standin::SystemRoot &system);

// The Get-WmiObject listing (lines without line ends).
QStringList processorListing(const QVector<Processor> &processors);

} // namespace powershell
