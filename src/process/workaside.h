#pragma once
// Long file work (copying gigabytes of logs) done beside the GUI thread:
// the work runs on a thread of its own while the caller waits in a nested
// event loop, as it waits for a child process, so the window repaints and
// a close or a stop signal is seen at once. A cancellation request sets the
// flag the work is handed; the work checks it often and returns soon after.

#include <atomic>
#include <functional>

namespace workaside {

using Work = std::function<void(const std::atomic<bool> &stop)>;

// Runs work to its end or until the run is cancelled; true when it was
// cancelled (then work may have stopped part way). A run already cancelled
// does not start the work at all.
bool run(const Work &work);

} // namespace workaside
