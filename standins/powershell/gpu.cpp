#include "commands.h"
#include "console.h"
#include "graphicsfacts.h"

namespace powershell {

namespace {

int printAdapterFacts(QStringList (*format)(const QVector<DisplayAdapter> &))
{
    standin::writeOutLines(format(readDisplayAdapters(standin::SystemRoot())));
    return 0;
}

} // namespace

int printVideoControllers() { return printAdapterFacts(videoControllerListing); }
int printAdapterMemory() { return printAdapterFacts(adapterMemoryLines); }
int printGpuMemoryUsage() { return printAdapterFacts(gpuMemoryUsageLines); }
int printGpuEngineUtilization() { return printAdapterFacts(gpuEngineUtilizationLines); }

} // namespace powershell
