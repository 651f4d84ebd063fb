// Asks Direct3D 12 about the default adapter and prints the answer as one
// line. The tool runs this in a process of its own: creating the device loads
// the Vulkan loader and every installed driver (tens of megabytes that would
// otherwise stay in the tool), and a driver that crashes takes only this
// short-lived program down with it.

#include "d3d12/d3d12probeline.h"

#include <cstdio>

int main()
{
    const std::string line = d3d12probe::toLine(d3d12probe::probe()) + "\n";
    std::fputs(line.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
