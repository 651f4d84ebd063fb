#include "stopconditions.h"

#include <QThread>

#include <csignal>
#include <new>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace stopconditions {

namespace {

std::atomic<bool> stopAsked{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void onSignal(int) { stopAsked.store(true); }

// Reads standard input to its end. Read straight from the system, not
// through the C library's stream, whose lock the exit of the program would
// wait for while this thread holds it.
class InputWatcher : public QThread
{
protected:
    void run() override
    {
        char buffer[4096];
#ifdef Q_OS_WIN
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        if (input == nullptr || input == INVALID_HANDLE_VALUE)
            return; // none to watch
        DWORD got = 0;
        BOOL read = FALSE;
        while ((read = ReadFile(input, buffer, sizeof buffer, &got, nullptr)) && got > 0) {
        }
        // A file at its end gives a read of nothing; a pipe whose writer
        // has gone, ERROR_BROKEN_PIPE. Any other error leaves none to watch.
        if (read || GetLastError() == ERROR_BROKEN_PIPE)
            stopAsked.store(true);
#else
        for (;;) {
            const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (got > 0 || (got < 0 && errno == EINTR))
                continue;
            if (got == 0)
                stopAsked.store(true);
            return; // at its end, or none to watch (closed)
        }
#endif
    }
};

} // namespace

const std::atomic<bool> &watch()
{
    // Never destroyed: it may still wait for input when the program ends,
    // which ends it too (destroying a running thread would abort). It lives
    // in static storage rather than on the heap, so it stays reachable after
    // its thread has ended and no leak checker takes it for lost memory.
    alignas(InputWatcher) static unsigned char storage[sizeof(InputWatcher)];
    static InputWatcher *const watcher = [] {
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
        auto *started = new (storage) InputWatcher;
        started->start();
        return started;
    }();
    Q_UNUSED(watcher)
    return stopAsked;
}

} // namespace stopconditions
