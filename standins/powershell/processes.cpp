#include "processes.h"

#include "commands.h"
#include "console.h"
#include "inspection/windowscommands.h"

namespace powershell {

namespace {

// Long enough for the processor time of a busy process to show, short
// enough not to hold up the check.
constexpr int kSampleIntervalMs = 250;

} // namespace

QStringList conflictingProcessLines(const QVector<ConflictingProcess> &processes)
{
    QStringList lines;
    for (const ConflictingProcess &process : processes)
        lines << QStringLiteral("Process=") + standin::padRight(process.name, 25) + QStringLiteral(" CPU_Usage_%=")
                     + standin::padRight(QString::number(process.cpuPercent), 12) + QStringLiteral(" Memory_Usage_=")
                     + standin::padRight(standin::roundedNumber(process.privateMiB, 2), 16);
    return lines;
}

int printConflictingProcesses()
{
    const QVector<ConflictingProcess> processes = measureConflictingProcesses(
        QStringLiteral("/proc"), windowscommands::conflictingProcessPrefixes(), kSampleIntervalMs);
    standin::writeOutLines(conflictingProcessLines(processes));
    return 0;
}

} // namespace powershell
