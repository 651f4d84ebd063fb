// A program with one deliberate finding of each kind, built and run the way
// the suite's programs are before the suite runs: if its reports do not
// arrive where the sanitizer script looks, a finding in the suite would not
// either, and the run fails instead of passing blind. The "probe" kind leaks
// a block of its own after creating a Direct3D 12 device through vkd3d, as
// the probe does: the rule that silences the Vulkan driver's leaks under
// device creation must leave a leak of our own beside it reported.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#define INITGUID
#include <vkd3d_utils.h>

namespace {
void *volatile kept = nullptr;
volatile int largest = 2147483647;
} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    if (std::strcmp(argv[1], "leak") == 0) {
        kept = std::malloc(48);
        kept = nullptr;
        return 0;
    }
    if (std::strcmp(argv[1], "probe") == 0) {
        void *device = nullptr;
        if (SUCCEEDED(D3D12CreateDevice(nullptr, D3D_FEATURE_LEVEL_12_0, IID_ID3D12Device, &device)))
            static_cast<ID3D12Device *>(device)->Release();
        kept = std::malloc(4242);
        kept = nullptr;
        return 0;
    }
    if (std::strcmp(argv[1], "undefined") == 0) {
        const int overflowed = largest + argc;
        std::printf("%d\n", overflowed);
        return 0;
    }
    return 2;
}
