#pragma once
// The one line in which the probe program hands its facts to the tool, and
// reading it back. Qt-free, so the small program can share it without
// bringing the toolkit along.

#include "d3d12/d3d12probe.h"

#include <optional>
#include <string>
#include <string_view>

namespace d3d12probe {

// "creation=0x80004005 query=0x00000000 tier=0": both results as 32-bit
// hexadecimal codes, the tier in decimal. No line end.
std::string toLine(const Facts &facts);

// The facts of a line written by toLine, or nothing when the text is not
// exactly such a line (an optional "\r" before the end is tolerated).
std::optional<Facts> fromLine(std::string_view line);

} // namespace d3d12probe
