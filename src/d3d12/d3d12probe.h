#pragma once
// Asking Direct3D 12 about the default adapter. Kept apart from the Qt code
// because the COM headers (the system's on Windows, vkd3d's elsewhere) do
// not mix well with it; the answer comes back as plain facts that a pure
// function turns into records.

#include <cstdint>

namespace d3d12probe {

struct Facts
{
    // Result of creating a device of feature level 12_0 on the default adapter.
    std::int32_t creationResult = 0;
    // Result of the options-5 query; only made when the device was created.
    std::int32_t queryResult = 0;
    // The RaytracingTier the query reported (0 when it was not made).
    int raytracingTier = 0;
};

// Creates the device, asks for its options-5 data and releases it again.
// Never throws; a missing driver shows up as a failed creation.
Facts probe();

} // namespace d3d12probe
