#include "d3d12/d3d12probe.h"

#include <memory>

// The COM headers would otherwise define min and max as macros.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifdef _WIN32
#include <initguid.h>
#include <d3d12.h>
#else
// Defines the interface identifiers in this file, as initguid.h does on Windows.
#define INITGUID
#include <vkd3d_utils.h>
#endif

namespace d3d12probe {

namespace {

struct Releaser
{
    void operator()(ID3D12Device *device) const { device->Release(); }
};
using DevicePointer = std::unique_ptr<ID3D12Device, Releaser>;

} // namespace

Facts probe()
{
    Facts facts;
    void *created = nullptr;
    facts.creationResult = D3D12CreateDevice(nullptr, D3D_FEATURE_LEVEL_12_0, IID_ID3D12Device, &created);
    if (FAILED(facts.creationResult) || created == nullptr) {
        if (SUCCEEDED(facts.creationResult))
            facts.creationResult = E_POINTER; // a success without a device is no device
        return facts;
    }
    const DevicePointer device(static_cast<ID3D12Device *>(created));

    D3D12_FEATURE_DATA_D3D12_OPTIONS5 options = {};
    facts.queryResult = device->CheckFeatureSupport(D3D12_FEATURE_D3D12_OPTIONS5, &options, sizeof(options));
    if (SUCCEEDED(facts.queryResult))
        facts.raytracingTier = static_cast<int>(options.RaytracingTier);
    return facts;
}

} // namespace d3d12probe
