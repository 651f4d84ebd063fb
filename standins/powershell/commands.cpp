#include "commands.h"

#include "inspection/windowscommands.h"

#include <QHash>

namespace powershell {

namespace {

Handler plain(int (*print)())
{
    return [print](const QStringList &) { return print(); };
}

// PowerShell joins its arguments into one script, so that is what is matched.
const QHash<QString, Handler> &scripts()
{
    using namespace windowscommands;
    static const QHash<QString, Handler> table = {
        {asScript(processor()), plain(printProcessor)},
        {asScript(videoControllers()), plain(printVideoControllers)},
        {asScript(adapterMemory()), plain(printAdapterMemory)},
        {asScript(gpuMemoryUsage()), plain(printGpuMemoryUsage)},
        {asScript(gpuEngineUtilization()), plain(printGpuEngineUtilization)},
        {asScript(physicalMemory()), plain(printPhysicalMemory)},
        {asScript(pageFile()), plain(printPageFile)},
        {asScript(physicalDisks()), plain(printPhysicalDisks)},
        {asScript(tdrValues()), plain(printTdrValues)},
        {asScript(installedUpdates()), plain(printInstalledUpdates)},
        {asScript(firewallProfiles()), plain(printFirewallProfiles)},
        {asScript(firewallRules()), plain(printFirewallRules)},
        {asScript(networkStatus()), plain(printNetworkStatus)},
        {asScript(vpnConnections()), plain(printVpnConnections)},
        {asScript(conflictingProcesses()), plain(printConflictingProcesses)},
    };
    return table;
}

} // namespace

Handler handlerFor(const QStringList &arguments)
{
    if (arguments.size() == 2 && arguments.first() == QLatin1String("Remove-Item"))
        return removeItem;
    return scripts().value(windowscommands::asScript(arguments));
}

} // namespace powershell
