#include "commands.h"
#include "console.h"
#include "pagefilefacts.h"

namespace powershell {

int printPageFile()
{
    const std::optional<SwapSpace> swap = readSwapSpace(standin::SystemRoot());
    if (!swap) {
        // wmic finds no instance, says so on standard error and still ends well.
        standin::writeError(noPageFileError());
        return 0;
    }
    standin::writeOut(pageFileValues(*swap));
    return 0;
}

} // namespace powershell
