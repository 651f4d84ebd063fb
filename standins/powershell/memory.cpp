#include "commands.h"
#include "console.h"

namespace powershell {

int printPhysicalMemory() { return standin::notAnswered(QStringLiteral("printPhysicalMemory")); }

} // namespace powershell
