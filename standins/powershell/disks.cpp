#include "commands.h"
#include "console.h"
#include "diskfacts.h"

namespace powershell {

int printPhysicalDisks()
{
    standin::writeOutLines(physicalDiskLines(readPhysicalDisks(standin::SystemRoot())));
    return 0;
}

} // namespace powershell
