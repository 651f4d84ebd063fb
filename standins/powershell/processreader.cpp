#include "processes.h"

#include "console.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace powershell {

namespace {

// The kernel keeps at most 15 characters of a process name.
constexpr int kKernelNameLength = 15;

QString processPath(const QString &procRoot, qint64 pid, const char *entry)
{
    return procRoot + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/') + QLatin1String(entry);
}

// The process name; when the kernel has cut it short, the program file name
// of the command line gives it whole.
QString processName(const QString &procRoot, qint64 pid)
{
    QString name = standin::readText(processPath(procRoot, pid, "comm"));
    if (name.endsWith(QLatin1Char('\n')))
        name.chop(1);
    if (name.size() < kKernelNameLength)
        return name;
    const QString commandLine = standin::readText(processPath(procRoot, pid, "cmdline"));
    const QString program = QFileInfo(commandLine.section(QChar(), 0, 0)).fileName();
    return program.startsWith(name) ? program : name;
}

// The value in KiB of a "Key:   1234 kB" line of a status-like file.
quint64 kibValue(const QString &line)
{
    const QString value = line.section(QLatin1Char(':'), 1).trimmed().section(QLatin1Char(' '), 0, 0);
    return value.toULongLong();
}

} // namespace

bool matchesPrefix(const QString &name, const QStringList &prefixes)
{
    return std::any_of(prefixes.cbegin(), prefixes.cend(),
                       [&name](const QString &prefix) { return name.startsWith(prefix, Qt::CaseInsensitive); });
}

std::optional<quint64> readCpuTicks(const QString &procRoot, qint64 pid)
{
    // "pid (name) state ppid ...": the name may hold blanks and brackets, so
    // the fields are counted from the last closing bracket. utime and stime
    // are fields 14 and 15.
    const QString stat = standin::readText(processPath(procRoot, pid, "stat"));
    const int close = stat.lastIndexOf(QLatin1Char(')'));
    if (close < 0)
        return std::nullopt;
    const QStringList fields = stat.mid(close + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    constexpr int kUserTime = 14 - 3;
    constexpr int kSystemTime = 15 - 3;
    if (fields.size() <= kSystemTime)
        return std::nullopt;
    return fields.at(kUserTime).toULongLong() + fields.at(kSystemTime).toULongLong();
}

std::optional<quint64> readPrivateWorkingSetKiB(const QString &procRoot, qint64 pid)
{
    // Private resident pages, anonymous or file-backed, are what Windows
    // calls the private working set. The summary needs the right to inspect
    // the process; the anonymous resident size in status is the fallback.
    const QString rollup = standin::readText(processPath(procRoot, pid, "smaps_rollup"));
    if (!rollup.isEmpty()) {
        quint64 total = 0;
        for (const QString &line : rollup.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("Private_")))
                total += kibValue(line);
        return total;
    }
    const QString status = standin::readText(processPath(procRoot, pid, "status"));
    for (const QString &line : status.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("RssAnon:")))
            return kibValue(line);
    return std::nullopt;
}

QVector<ProcessSample> readMatchingProcesses(const QString &procRoot, const QStringList &prefixes)
{
    QVector<ProcessSample> samples;
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (!isNumber)
            continue;
        const QString name = processName(procRoot, pid);
        if (name.isEmpty() || !matchesPrefix(name, prefixes))
            continue;
        const std::optional<quint64> ticks = readCpuTicks(procRoot, pid);
        if (!ticks)
            continue; // ended while being read
        samples.append({pid, name, *ticks});
    }
    std::sort(samples.begin(), samples.end(),
              [](const ProcessSample &a, const ProcessSample &b) { return a.pid < b.pid; });
    return samples;
}

qint64 cpuPercent(quint64 ticksBefore, quint64 ticksAfter, double seconds, long ticksPerSecond)
{
    if (ticksAfter <= ticksBefore || seconds <= 0.0 || ticksPerSecond <= 0)
        return 0;
    const double busySeconds = static_cast<double>(ticksAfter - ticksBefore) / static_cast<double>(ticksPerSecond);
    return std::llround(busySeconds / seconds * 100.0);
}

QStringList instanceNames(const QStringList &names)
{
    QStringList instances;
    QHash<QString, int> seen;
    for (const QString &name : names) {
        const int earlier = seen.value(name, 0);
        instances << (earlier == 0 ? name : name + QLatin1Char('#') + QString::number(earlier));
        seen.insert(name, earlier + 1);
    }
    return instances;
}

QVector<ConflictingProcess> measureConflictingProcesses(const QString &procRoot, const QStringList &prefixes,
                                                        int intervalMs)
{
    const QVector<ProcessSample> before = readMatchingProcesses(procRoot, prefixes);
    if (before.isEmpty())
        return {};

    QElapsedTimer clock;
    clock.start();
    QThread::msleep(static_cast<unsigned long>(intervalMs));
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);

    QVector<ProcessSample> running;
    QVector<ConflictingProcess> processes;
    for (const ProcessSample &sample : before) {
        const std::optional<quint64> ticks = readCpuTicks(procRoot, sample.pid);
        if (!ticks)
            continue; // ended during the interval
        const quint64 privateKiB = readPrivateWorkingSetKiB(procRoot, sample.pid).value_or(0);
        running.append(sample);
        processes.append({sample.name, cpuPercent(sample.cpuTicks, *ticks, seconds, ticksPerSecond),
                          static_cast<double>(privateKiB) / 1024.0});
    }

    QStringList names;
    for (const ProcessSample &sample : running)
        names << sample.name;
    const QStringList instances = instanceNames(names);
    for (int i = 0; i < processes.size(); ++i)
        processes[i].name = instances.at(i);
    return processes;
}

} // namespace powershell
