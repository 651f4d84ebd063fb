#pragma once
// A program started with posix_spawn and left running while the benchmark
// drives it from outside, watched through /proc: its own peak resident set
// and those of the programs it starts in turn, by name.

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace bench {

struct Ending
{
    bool ended = false;  // false: it was still running at the deadline and has been killed
    int exitCode = -1;   // -1 when it did not exit normally
    long maxRssKb = 0;   // wait4: its own peak or that of the largest program it waited for
};

class BackgroundProgram
{
public:
    BackgroundProgram() = default;
    ~BackgroundProgram(); // kills it if it still runs
    BackgroundProgram(const BackgroundProgram &) = delete;
    BackgroundProgram &operator=(const BackgroundProgram &) = delete;

    // Starts program with exactly this environment, standard input from
    // /dev/null and both outputs appended to outputFile.
    bool start(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
               const QString &outputFile, QString *error);

    // Reads the peaks as they stand now; call it often while the program
    // works. Programs it started that live shorter than the interval
    // between two calls may be missed, so their peaks are lower bounds.
    void sample();
    long ownPeakKb() const { return m_ownPeakKb; }
    // The highest peak seen of each program it started (directly or not), by name.
    const QMap<QString, long> &descendantPeaksKb() const { return m_descendantPeaksKb; }

    // Waits up to timeoutMs for it to end, sampling meanwhile.
    Ending finish(int timeoutMs);

private:
    pid_t m_pid = 0;
    QString m_name; // a descendant by this name is a copy of it not yet replaced by its program
    long m_ownPeakKb = 0;
    QMap<QString, long> m_descendantPeaksKb;
};

} // namespace bench
