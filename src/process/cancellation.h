#pragma once
// Cancelling the running action when the user closes the window. Every
// nested wait (child process, HTTP reply, archiver) holds a Hook while it
// waits; a cancellation request runs each hook, which stops what it waits
// for and leaves its event loop. Checks look at requested() after a wait and
// write no record from a cut-short result, so no report claims a finding
// the tool did not make. A wait that begins after a request does not wait
// at all: it checks requested() before entering its loop.

#include <functional>

namespace cancellation {

bool requested();
// Stops every wait that is under way now, and marks later ones as cancelled.
void request();
// Called once the cancelled action has unwound.
void reset();

class Hook
{
public:
    explicit Hook(std::function<void()> stop);
    ~Hook();
    Hook(const Hook &) = delete;
    Hook &operator=(const Hook &) = delete;

private:
    friend void request();
    std::function<void()> m_stop;
};

} // namespace cancellation
