#pragma once
// When the shareable copy stops before it is written: once the program's
// standard input reaches its end (whoever started it, and holds the other
// end, has gone away without stopping it) or SIGTERM or SIGINT comes. The
// writing polls the flag, so it stops soon and removes what it had begun.

#include <atomic>

namespace stopconditions {

// Starts watching (once) and gives the flag that tells a stop was asked for.
const std::atomic<bool> &watch();

} // namespace stopconditions
