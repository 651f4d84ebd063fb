#include "commands.h"
#include "console.h"
#include "processorfacts.h"

namespace powershell {

int printProcessor()
{
    standin::writeOutLines(processorListing(readProcessors(standin::SystemRoot())));
    return 0;
}

} // namespace powershell
