#pragma once
// The launcher version the tool records at start-up. The launcher passes
// its own on the command line, which the tool never parses, so every run
// records this default; the headless runner records the same.

namespace launcherversion {

inline constexpr const char kDefaultVersionId[] = "0.2.9999.0";

} // namespace launcherversion
