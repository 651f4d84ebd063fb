#include "processorfacts.h"

#include "console.h"
#include "formatlist.h"

#include <QHash>
#include <QMap>

namespace powershell {

namespace {

using CpuEntry = QHash<QString, QString>;

// /proc/cpuinfo holds one "key : value" paragraph per logical processor.
QVector<CpuEntry> parseCpuInfo(const QString &text)
{
    QVector<CpuEntry> entries;
    CpuEntry current;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (line.trimmed().isEmpty() || colon < 0) {
            if (!current.isEmpty())
                entries << current;
            current.clear();
            continue;
        }
        current.insert(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
    }
    if (!current.isEmpty())
        entries << current;
    return entries;
}

QString firstOf(const CpuEntry &entry, std::initializer_list<const char *> keys)
{
    for (const char *key : keys) {
        const QString value = entry.value(QLatin1String(key));
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

// Windows names the family by the instruction set: Intel64 for Intel's
// processors, AMD64 for the other x86-64 makers.
QString captionOf(const CpuEntry &entry)
{
    const QString family = entry.value(QStringLiteral("cpu family"));
    if (family.isEmpty())
        return firstOf(entry, {"model name", "Processor", "cpu model"});
    const QString architecture =
        entry.value(QStringLiteral("vendor_id")) == QLatin1String("GenuineIntel") ? QStringLiteral("Intel64")
                                                                                   : QStringLiteral("AMD64");
    return QStringLiteral("%1 Family %2 Model %3 Stepping %4")
        .arg(architecture, family, entry.value(QStringLiteral("model")), entry.value(QStringLiteral("stepping")));
}

QString maxClockOf(const standin::SystemRoot &system, const CpuEntry &entry)
{
    const QString cpu = entry.value(QStringLiteral("processor"));
    bool ok = false;
    const double kiloHertz =
        system.trimmed(QStringLiteral("/sys/devices/system/cpu/cpu%1/cpufreq/cpuinfo_max_freq").arg(cpu)).toDouble(&ok);
    if (ok && kiloHertz > 0)
        return standin::roundedNumber(kiloHertz / 1000.0, 0);
    // Without a frequency driver (virtual machines) the nominal speed the
    // kernel measured at boot is the best figure there is.
    const double megaHertz = entry.value(QStringLiteral("cpu MHz")).toDouble(&ok);
    return ok ? standin::roundedNumber(megaHertz, 0) : QString();
}

// The socket names of the firmware's processor records (SMBIOS type 4), in
// table order; usually readable by the administrator only.
QStringList firmwareSocketNames(const standin::SystemRoot &system)
{
    QStringList names;
    const QString folder = QStringLiteral("/sys/firmware/dmi/entries");
    for (int index = 0;; ++index) {
        const QString entry = QStringLiteral("%1/4-%2/raw").arg(folder).arg(index);
        if (!system.exists(entry))
            break;
        const QByteArray raw = system.bytes(entry);
        QString name;
        if (raw.size() > 4 && static_cast<unsigned char>(raw.at(1)) <= raw.size()) {
            const int stringNumber = static_cast<unsigned char>(raw.at(4));
            const QList<QByteArray> strings = raw.mid(static_cast<unsigned char>(raw.at(1))).split('\0');
            if (stringNumber > 0 && stringNumber <= strings.size())
                name = QString::fromLatin1(strings.at(stringNumber - 1)).trimmed();
        }
        names << name;
    }
    return names;
}

} // namespace

QVector<Processor> readProcessors(const standin::SystemRoot &system)
{
    // The first logical processor of each package speaks for it.
    QMap<int, CpuEntry> packages;
    for (const CpuEntry &entry : parseCpuInfo(system.text(QStringLiteral("/proc/cpuinfo")))) {
        if (!entry.contains(QStringLiteral("processor")))
            continue;
        const int package = entry.value(QStringLiteral("physical id"), QStringLiteral("0")).toInt();
        if (!packages.contains(package))
            packages.insert(package, entry);
    }

    const QStringList sockets = firmwareSocketNames(system);
    QVector<Processor> processors;
    for (auto it = packages.cbegin(); it != packages.cend(); ++it) {
        const CpuEntry &entry = it.value();
        Processor processor;
        processor.caption = captionOf(entry);
        processor.manufacturer = firstOf(entry, {"vendor_id", "CPU implementer"});
        processor.maxClockSpeed = maxClockOf(system, entry);
        processor.name = firstOf(entry, {"model name", "Processor", "cpu model"});
        // Without readable firmware tables the kernel's package number is the
        // socket fact there is; "CPU 0" is also how most firmware names it.
        const int index = processors.size();
        processor.socketDesignation = index < sockets.size() && !sockets.at(index).isEmpty()
                                          ? sockets.at(index)
                                          : QStringLiteral("CPU %1").arg(it.key());
        processors << processor;
    }
    return processors;
}

QStringList processorListing(const QVector<Processor> &processors)
{
    QVector<PropertyBlock> blocks;
    for (int i = 0; i < processors.size(); ++i) {
        const Processor &p = processors.at(i);
        blocks << PropertyBlock{{QStringLiteral("Caption"), p.caption},
                                {QStringLiteral("DeviceID"), QStringLiteral("CPU%1").arg(i)},
                                {QStringLiteral("Manufacturer"), p.manufacturer},
                                {QStringLiteral("MaxClockSpeed"), p.maxClockSpeed},
                                {QStringLiteral("Name"), p.name},
                                {QStringLiteral("SocketDesignation"), p.socketDesignation}};
    }
    return formatList(blocks);
}

} // namespace powershell
