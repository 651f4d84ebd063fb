#include "process/childwait.h"

#include "process/cancellation.h"
#include "process/childprocess.h"

#include <QEventLoop>
#include <QTimer>

namespace childwait {

bool keepWithin(QByteArray &kept, const char *bytes, int size, int limit)
{
    if (limit < 0) {
        kept.append(bytes, size);
        return false;
    }
    const int room = qMax(0, limit - kept.size());
    kept.append(bytes, qMin(size, room));
    return size > room;
}

Outcome run(const Command &command, int timeoutMs)
{
    if (cancellation::requested()) {
        Outcome outcome;
        outcome.cancelled = true;
        return outcome;
    }

    ChildProcess child;
    QEventLoop loop;
    bool timedOut = false;
    bool cancelled = false;
    if (!child.start(command, [&loop] { loop.quit(); })) {
        child.outcome().failedToStart = true;
        return child.outcome();
    }

    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        child.kill();
        loop.quit();
    });
    const cancellation::Hook hook([&] {
        cancelled = true;
        child.kill();
        loop.quit();
    });

    if (child.running()) {
        if (timeoutMs >= 0)
            limit.start(timeoutMs);
        loop.exec(QEventLoop::AllEvents);
        limit.stop();
        if (!timedOut && !cancelled && child.running()) {
            // The loop ended with the child still running: the application is
            // quitting (log-off, say), and every later wait would return at
            // once. Treat it as a cancellation so nothing records a finding
            // from output it never received.
            cancellation::request();
        }
    }
    if (child.running())
        child.kill();
    child.collect(5000); // the kill lands at once; collect what it wrote
    Outcome &outcome = child.outcome();
    outcome.timedOut = timedOut;
    outcome.cancelled = cancelled;
    return outcome;
}

} // namespace childwait
