#include "d3d12/d3d12probeline.h"

#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <cstdio>

namespace d3d12probe {

namespace {

// Takes "name=" followed by a number in base from the start of text, up to
// the next blank or the end; false when anything else is there.
template <typename Number>
bool takeField(std::string_view &text, std::string_view name, int base, Number &value)
{
    if (text.substr(0, name.size()) != name)
        return false;
    text.remove_prefix(name.size());
    if (base == 16) {
        if (text.substr(0, 2) != "0x")
            return false;
        text.remove_prefix(2);
    }
    const std::size_t end = std::min(text.find(' '), text.size());
    if (end == 0)
        return false;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + end, value, base);
    if (error != std::errc() || rest != text.data() + end)
        return false;
    text.remove_prefix(end);
    return true;
}

bool takeBlank(std::string_view &text)
{
    if (text.empty() || text.front() != ' ')
        return false;
    text.remove_prefix(1);
    return true;
}

} // namespace

std::string toLine(const Facts &facts)
{
    char line[64];
    std::snprintf(line, sizeof line, "creation=0x%08" PRIx32 " query=0x%08" PRIx32 " tier=%d",
                  static_cast<std::uint32_t>(facts.creationResult), static_cast<std::uint32_t>(facts.queryResult),
                  facts.raytracingTier);
    return line;
}

std::optional<Facts> fromLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::uint32_t creation = 0;
    std::uint32_t query = 0;
    Facts facts;
    if (!takeField(line, "creation=", 16, creation) || !takeBlank(line) || !takeField(line, "query=", 16, query)
        || !takeBlank(line) || !takeField(line, "tier=", 10, facts.raytracingTier) || !line.empty()
        || facts.raytracingTier < 0)
        return std::nullopt;
    facts.creationResult = static_cast<std::int32_t>(creation);
    facts.queryResult = static_cast<std::int32_t>(query);
    return facts;
}

} // namespace d3d12probe
