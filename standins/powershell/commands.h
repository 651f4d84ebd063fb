#pragma once
// The scripts the stand-in PowerShell answers, and the handler of each. A
// handler prints this machine's facts in the layout the Windows command
// prints and returns the exit code.

#include <QString>
#include <QStringList>

#include <functional>

namespace powershell {

using Handler = std::function<int(const QStringList &arguments)>;

// The handler for the script the arguments make, or an empty function.
Handler handlerFor(const QStringList &arguments);

// One per family of facts, each in a file of its own.
int printProcessor();
int printVideoControllers();
int printAdapterMemory();
int printGpuMemoryUsage();
int printGpuEngineUtilization();
int printPhysicalMemory();
int printPageFile();
int printPhysicalDisks();
int printTdrValues();
int printInstalledUpdates();
int printFirewallProfiles();
int printFirewallRules();
int printNetworkStatus();
int printVpnConnections();
int printConflictingProcesses();
int removeItem(const QStringList &arguments);

} // namespace powershell
