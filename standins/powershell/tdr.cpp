#include "commands.h"
#include "console.h"
#include "tdrfacts.h"

namespace powershell {

int printTdrValues()
{
    const standin::SystemRoot system;
    const std::optional<TdrValues> values = readTdrValues(system, readDisplayAdapters(system));
    if (!values) {
        standin::writeError(missingTdrError());
        return 1;
    }
    standin::writeOutLines(tdrLines(*values));
    return 0;
}

} // namespace powershell
