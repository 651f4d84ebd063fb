#include "commands.h"
#include "console.h"
#include "memoryfacts.h"

namespace powershell {

int printPhysicalMemory()
{
    standin::writeOutLines(physicalMemoryListing(readPhysicalMemory(standin::SystemRoot())));
    return 0;
}

} // namespace powershell
