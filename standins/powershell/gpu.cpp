#include "commands.h"
#include "console.h"

namespace powershell {

int printVideoControllers() { return standin::notAnswered(QStringLiteral("printVideoControllers")); }
int printAdapterMemory() { return standin::notAnswered(QStringLiteral("printAdapterMemory")); }
int printGpuMemoryUsage() { return standin::notAnswered(QStringLiteral("printGpuMemoryUsage")); }
int printGpuEngineUtilization() { return standin::notAnswered(QStringLiteral("printGpuEngineUtilization")); }

} // namespace powershell
