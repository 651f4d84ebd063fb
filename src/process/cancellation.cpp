#include "process/cancellation.h"

#include <algorithm>
#include <vector>

namespace cancellation {

namespace {
bool g_requested = false;
std::vector<Hook *> &hooks()
{
    static std::vector<Hook *> active;
    return active;
}
} // namespace

bool requested() { return g_requested; }

void request()
{
    g_requested = true;
    // Copy: a stop function may end a wait whose hook then unregisters.
    const std::vector<Hook *> current = hooks();
    for (Hook *hook : current) {
        if (std::find(hooks().begin(), hooks().end(), hook) != hooks().end())
            hook->m_stop();
    }
}

void reset() { g_requested = false; }

Hook::Hook(std::function<void()> stop) : m_stop(std::move(stop))
{
    hooks().push_back(this);
}

Hook::~Hook()
{
    auto &active = hooks();
    active.erase(std::remove(active.begin(), active.end(), this), active.end());
}

} // namespace cancellation
