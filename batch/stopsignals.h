#pragma once
// SIGINT and SIGTERM stop a headless run the way the close button stops
// the window: the running command is ended, the running action cancelled
// and no later action started. The signal handler only writes a byte to a
// socket; the stop itself runs on the GUI thread, inside whatever nested
// event loop the action is waiting in. A second signal ends the process at
// once, from the handler itself.

#include <QSocketNotifier>

#include <functional>
#include <memory>

class StopSignals
{
public:
    // onStop runs once, on the GUI thread, after the first of the signals.
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    bool received() const { return m_received; }

private:
    std::function<void()> m_onStop;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_received = false;
};
