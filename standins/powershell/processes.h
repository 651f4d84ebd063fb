#pragma once
// Running processes known to disturb the host application, as the formatted
// per-process performance counters report them on Windows.

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace powershell {

// One process as read from the process table at one moment.
struct ProcessSample
{
    qint64 pid = 0;
    QString name;
    quint64 cpuTicks = 0; // user + system time, in clock ticks
};

// What the counters say about one conflicting process.
struct ConflictingProcess
{
    QString name;             // counter instance name ("name", "name#1", ...)
    qint64 cpuPercent = 0;    // of one processor, so several busy threads exceed 100
    double privateMiB = 0.0;  // private working set
};

// Whether a process name begins with one of the prefixes, in any case (the
// pipeline's "-match '^(...)'").
bool matchesPrefix(const QString &name, const QStringList &prefixes);

// The processes under procRoot ("/proc") whose name matches, by process id.
QVector<ProcessSample> readMatchingProcesses(const QString &procRoot, const QStringList &prefixes);

// The CPU time of one process in clock ticks, or nothing once it has gone.
std::optional<quint64> readCpuTicks(const QString &procRoot, qint64 pid);

// Private resident memory of one process in KiB, or nothing when unreadable.
std::optional<quint64> readPrivateWorkingSetKiB(const QString &procRoot, qint64 pid);

// Processor time over an interval as the formatted counter gives it: the
// percentage of one processor, as a whole number.
qint64 cpuPercent(quint64 ticksBefore, quint64 ticksAfter, double seconds, long ticksPerSecond);

// Counter instance names: the second process of a name is "name#1", the
// third "name#2", and so on, in the order given.
QStringList instanceNames(const QStringList &names);

// Samples the matching processes twice, intervalMs apart, and reports those
// still running at the end.
QVector<ConflictingProcess> measureConflictingProcesses(const QString &procRoot, const QStringList &prefixes,
                                                        int intervalMs);

// The lines the pipeline's format string prints, one per process.
QStringList conflictingProcessLines(const QVector<ConflictingProcess> &processes);

} // namespace powershell
