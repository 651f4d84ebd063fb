#include "childwait.h"

#include "cancellation.h"

#include <QEventLoop>
#include <QTimer>

namespace childwait {

Outcome run(QProcess &process, int timeoutMs, bool closeInput)
{
    Outcome outcome;
    if (cancellation::requested()) {
        outcome.cancelled = true;
        return outcome;
    }

    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                     &QEventLoop::quit);
    // A program that cannot be started never reports that it finished.
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            outcome.failedToStart = true;
            loop.quit();
        }
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        outcome.timedOut = true;
        process.kill();
        loop.quit();
    });
    const cancellation::Hook hook([&] {
        outcome.cancelled = true;
        process.kill();
        loop.quit();
    });

    process.start(QIODevice::ReadWrite);
    if (closeInput)
        process.closeWriteChannel();
    if (outcome.failedToStart || process.error() == QProcess::FailedToStart) {
        outcome.failedToStart = true;
        return outcome;
    }
    if (process.state() != QProcess::NotRunning) {
        if (timeoutMs >= 0)
            limit.start(timeoutMs);
        loop.exec(QEventLoop::AllEvents);
        limit.stop();
        if (!outcome.failedToStart && !outcome.timedOut && !outcome.cancelled
            && process.state() != QProcess::NotRunning) {
            // The loop ended with the child still running: the application is
            // quitting (log-off, say), and every later wait would return at
            // once. Treat it as a cancellation so nothing records a finding
            // from output it never received.
            cancellation::request();
        }
    }
    if (process.state() != QProcess::NotRunning)
        process.waitForFinished(5000); // the kill lands at once; collect what it wrote
    return outcome;
}

} // namespace childwait
