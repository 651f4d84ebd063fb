#include "stopsignals.h"

#ifdef Q_OS_WIN

// Windows has no such signals; Ctrl+C ends the console program as before.
StopSignals::StopSignals(std::function<void()> onStop) : m_onStop(std::move(onStop)) {}
StopSignals::~StopSignals() = default;

#else

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_sockets[2] = {-1, -1};
volatile sig_atomic_t g_signals = 0;

extern "C" void onStopSignal(int signal)
{
    // A second signal ends the process at once, here in the handler: the
    // event loop that reads the first may be busy for a while yet.
    if (g_signals++ > 0) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    const char byte = 1;
    // Nothing can be done about a failed write inside a signal handler.
    [[maybe_unused]] const ssize_t written = ::write(g_sockets[0], &byte, 1);
}

void setHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

StopSignals::StopSignals(std::function<void()> onStop) : m_onStop(std::move(onStop))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_sockets) != 0)
        return; // the run then simply ends on a signal, as any program does
    g_signals = 0;
    m_notifier = std::make_unique<QSocketNotifier>(g_sockets[1], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(g_sockets[1], &byte, 1);
        if (m_received)
            return;
        m_received = true;
        // A second signal ends the process at once.
        setHandler(SIG_DFL);
        m_onStop();
    });
    setHandler(onStopSignal);
}

StopSignals::~StopSignals()
{
    setHandler(SIG_DFL);
    m_notifier.reset();
    for (int &socket : g_sockets) {
        if (socket >= 0)
            ::close(socket);
        socket = -1;
    }
}

#endif
