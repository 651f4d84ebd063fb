#pragma once
// Starting a program the plainest way the system offers (posix_spawn, pipes,
// poll, wait4), as the yardstick the tool's own ways of running programs are
// held against, and to watch a program's time and memory from outside.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace bench {

struct SpawnOptions
{
    bool discardOutput = false; // standard output to /dev/null instead of a pipe
    bool samplePeakMemory = false; // read the child's own VmHWM every few milliseconds
};

struct Spawned
{
    bool started = false;
    QString error;           // why it did not start
    int exitCode = -1;       // -1 when it did not exit normally
    QByteArray output;       // standard output (empty when discarded)
    QByteArray errors;       // standard error
    double wallMs = 0;       // from before the start to after collecting the child
    long maxRssKb = 0;       // wait4: the larger of the child's peak and its largest waited-for descendant's
    long ownPeakKb = 0;      // the child's own VmHWM, last sampled before it ended (when sampling)
};

// Runs program (a path; it is not looked up) with arguments and the current
// environment, standard input from /dev/null, and waits for it.
Spawned spawnAndWait(const QString &program, const QStringList &arguments, const SpawnOptions &options = {});

// "VmHWM:  12345 kB" in a /proc/PID/status text; 0 when missing.
long highWaterMarkKb(const QByteArray &statusText);
// A running process's own peak resident set (its VmHWM); 0 when it is gone.
long highWaterMarkKbOf(long pid);

} // namespace bench
