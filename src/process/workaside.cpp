#include "process/workaside.h"

#include "process/cancellation.h"

#include <QEventLoop>
#include <QThread>

namespace workaside {

namespace {

// A thread that runs one function (QThread::create needs std::future,
// which MinGW's Win32 thread model lacks).
class Worker : public QThread
{
public:
    explicit Worker(std::function<void()> body) : m_body(std::move(body)) {}

protected:
    void run() override { m_body(); }

private:
    std::function<void()> m_body;
};

} // namespace

bool run(const Work &work)
{
    if (cancellation::requested())
        return true;
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    QEventLoop loop;
    const cancellation::Hook hook([&stop] { stop = true; });
    Worker worker([&] {
        work(stop);
        done = true;
    });
    // Queued, since it is emitted on the worker's thread.
    QObject::connect(&worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker.start();
    if (!done)
        loop.exec(QEventLoop::AllEvents);
    if (!done) {
        // The loop ended before the work: the application is quitting.
        // Treat it as a cancellation, as the wait for a child does.
        cancellation::request();
    }
    worker.wait();
    return stop.load();
}

} // namespace workaside
