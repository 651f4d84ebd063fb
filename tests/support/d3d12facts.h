#pragma once
// Direct3D 12 answers made up by the tests.

#include "d3d12/d3d12probe.h"

#include <cstdint>

namespace testsupport {

inline d3d12probe::Facts facts(std::int32_t creation, std::int32_t query, int tier)
{
    d3d12probe::Facts result;
    result.creationResult = creation;
    result.queryResult = query;
    result.raytracingTier = tier;
    return result;
}

inline bool same(const d3d12probe::Facts &a, const d3d12probe::Facts &b)
{
    return a.creationResult == b.creationResult && a.queryResult == b.queryResult
        && a.raytracingTier == b.raytracingTier;
}

} // namespace testsupport
