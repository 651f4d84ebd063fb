#include "graphicsfacts.h"

#include "console.h"
#include "formatlist.h"

#include <QRegularExpression>
#include <QTextStream>

namespace powershell {

namespace {

const QString kPciDevices = QStringLiteral("/sys/bus/pci/devices/");

// "0x1002\n" -> "1002"
QString pciId(const QString &text)
{
    QString id = text.trimmed().toLower();
    if (id.startsWith(QLatin1String("0x")))
        id.remove(0, 2);
    return id;
}

std::optional<qint64> integerFact(const standin::SystemRoot &system, const QString &path)
{
    bool ok = false;
    const qint64 value = system.trimmed(path).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

QString pciDeviceName(const QString &pciIds, const QString &vendorId, const QString &deviceId)
{
    // Vendor lines start with the id, device lines with one tab, subsystem
    // lines with two; an id and its name are separated by two blanks.
    static const QRegularExpression entry(QStringLiteral("^(\\t?)([0-9a-f]{4})  (.*)$"));
    QString vendorName;
    QString deviceName;
    QString text = pciIds;
    QTextStream stream(&text, QIODevice::ReadOnly);
    bool inVendor = false;
    QString line;
    while (stream.readLineInto(&line)) {
        const QRegularExpressionMatch match = entry.match(line);
        if (!match.hasMatch())
            continue;
        const bool isDevice = !match.capturedRef(1).isEmpty();
        if (!isDevice) {
            if (inVendor)
                break;
            inVendor = match.captured(2) == vendorId;
            if (inVendor)
                vendorName = match.captured(3).trimmed();
        } else if (inVendor && match.captured(2) == deviceId) {
            deviceName = match.captured(3).trimmed();
            break;
        }
    }
    if (vendorName.isEmpty())
        vendorName = QStringLiteral("PCI vendor %1").arg(vendorId);
    if (deviceName.isEmpty())
        deviceName = QStringLiteral("display device %1").arg(deviceId);
    return vendorName + QLatin1Char(' ') + deviceName;
}

QVector<DisplayAdapter> readDisplayAdapters(const standin::SystemRoot &system)
{
    QVector<DisplayAdapter> adapters;
    QString pciIds;
    const QString kernelRelease = system.trimmed(QStringLiteral("/proc/sys/kernel/osrelease"));
    for (const QString &address : system.entries(kPciDevices)) {
        const QString device = kPciDevices + address;
        bool ok = false;
        const uint deviceClass = system.trimmed(device + QStringLiteral("/class")).toUInt(&ok, 16);
        if (!ok || (deviceClass >> 16) != 0x03)
            continue;
        if (pciIds.isNull())
            pciIds = system.text(QStringLiteral("/usr/share/misc/pci.ids"));

        DisplayAdapter adapter;
        adapter.pciAddress = address;
        adapter.name = pciDeviceName(pciIds, pciId(system.text(device + QStringLiteral("/vendor"))),
                                     pciId(system.text(device + QStringLiteral("/device"))));
        adapter.driver = system.linkName(device + QStringLiteral("/driver"));
        if (!adapter.driver.isEmpty()) {
            // Drivers built with the kernel carry no version of their own.
            QString version = system.trimmed(QStringLiteral("/sys/module/%1/version").arg(adapter.driver));
            if (version.isEmpty())
                version = kernelRelease;
            adapter.driverVersion = (adapter.driver + QLatin1Char(' ') + version).trimmed();
        }
        adapter.memoryTotalBytes = integerFact(system, device + QStringLiteral("/mem_info_vram_total"));
        adapter.memoryUsedBytes = integerFact(system, device + QStringLiteral("/mem_info_vram_used"));
        if (const auto busy = integerFact(system, device + QStringLiteral("/gpu_busy_percent")))
            adapter.busyPercent = static_cast<double>(*busy);
        adapters << adapter;
    }
    return adapters;
}

QStringList videoControllerListing(const QVector<DisplayAdapter> &adapters)
{
    QVector<PropertyBlock> blocks;
    for (const DisplayAdapter &adapter : adapters)
        blocks << PropertyBlock{{QStringLiteral("Name"), adapter.name},
                                {QStringLiteral("DriverVersion"), adapter.driverVersion}};
    return formatList(blocks);
}

QStringList adapterMemoryLines(const QVector<DisplayAdapter> &adapters)
{
    // The registry query rounds one adapter's memory to whole gigabytes; the
    // first adapter whose driver tells its memory size stands for the machine.
    for (const DisplayAdapter &adapter : adapters) {
        if (adapter.memoryTotalBytes)
            return {standin::roundedNumber(static_cast<double>(*adapter.memoryTotalBytes) / (1 << 30), 0)};
    }
    return {};
}

QStringList gpuMemoryUsageLines(const QVector<DisplayAdapter> &adapters)
{
    // The counter sums the memory committed on every adapter.
    double used = 0;
    for (const DisplayAdapter &adapter : adapters)
        used += static_cast<double>(adapter.memoryUsedBytes.value_or(0));
    return {QStringLiteral("Total GPU Memory Local Usage : "), standin::roundedNumber(used / (1 << 20), 2)};
}

QStringList gpuEngineUtilizationLines(const QVector<DisplayAdapter> &adapters)
{
    // The counters are summed over every engine of every adapter.
    double busy = 0;
    for (const DisplayAdapter &adapter : adapters)
        busy += adapter.busyPercent.value_or(0);
    return {standin::roundedNumber(busy, 2)};
}

} // namespace powershell
