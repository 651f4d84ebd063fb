#pragma once
// The command lines the checks send to the Windows shells, one function per
// command. The checks run them; the stand-in shells on other systems
// recognise exactly these texts, so both sides read them from here.

#include <QString>
#include <QStringList>

// moc's tokenizer loses its way in the raw string literals below; it needs
// nothing from this file.
#ifndef Q_MOC_RUN

namespace windowscommands {

// The shells every command goes through.
inline QString powerShell() { return QStringLiteral("powershell"); }
inline QString commandShell() { return QStringLiteral("cmd"); }

inline QStringList processor() { return {QStringLiteral("Get-WmiObject win32_processor")}; }

inline QStringList videoControllers()
{
    return {QStringLiteral("get-wmiobject win32_videocontroller"), QStringLiteral("|"),
            QStringLiteral("Format-List -Property Name,DriverVersion")};
}

inline QStringList adapterMemory()
{
    return {QStringLiteral(
        R"ps([math]::round((Get-ItemProperty -Path "HKLM:\SYSTEM\ControlSet001\Control\Class\{4d36e968-e325-11ce-bfc1-08002be10318}\0*" -Name HardwareInformation.qwMemorySize -ErrorAction SilentlyContinue)."HardwareInformation.qwMemorySize"/1GB))ps")};
}

inline QStringList gpuMemoryUsage()
{
    return {QStringLiteral(
        R"ps(write-output "Total GPU Memory Local Usage : " $([math]::Round((((Get-Counter "\GPU Process Memory(*)\Total Committed").CounterSamples | where CookedValue).CookedValue | measure -sum).sum/1MB,2)))ps")};
}

inline QStringList gpuEngineUtilization()
{
    return {QStringLiteral(
        R"ps($([math]::round((((Get-Counter "\GPU Engine(*engtype_VideoProcessing)\Utilization Percentage").CounterSamples | where CookedValue).CookedValue | measure -sum).sum +  (((Get-Counter "\GPU Engine(*engtype_VideoDecode)\Utilization Percentage").CounterSamples | where CookedValue).CookedValue | measure -sum).sum + (((Get-Counter "\GPU Engine(*engtype_Copy)\Utilization Percentage").CounterSamples | where CookedValue).CookedValue | measure -sum).sum +  (((Get-Counter "\GPU Engine(*engtype_3D)\Utilization Percentage").CounterSamples | where CookedValue).CookedValue | measure -sum).sum,2)))ps")};
}

// The GPU vendor's console tool: where it is looked for, and the command
// line (executable path in quotes, then its options) that runs it.
#ifdef Q_OS_WIN
inline QString vendorToolPath() { return QStringLiteral("C:/Program Files/NVIDIA Corporation/NVSMI/nvidia-smi.exe"); }
inline QString vendorToolExecutable() { return QStringLiteral(R"(C:\Program Files\NVIDIA Corporation\NVSMI\nvidia-smi.exe)"); }
#else
inline QString vendorToolPath() { return QStringLiteral("/usr/bin/nvidia-smi"); }
inline QString vendorToolExecutable() { return vendorToolPath(); }
#endif
inline QString vendorToolCommandLine()
{
    return QLatin1Char('"') + vendorToolExecutable() + QLatin1Char('"')
         + QStringLiteral(" --query-gpu=clocks.gr,fan.speed,power.draw,temperature.gpu,utilization.gpu --format=csv,noheader");
}

inline QStringList physicalMemory()
{
    return {QStringLiteral("Get-CimInstance"), QStringLiteral("-Class Win32_OperatingSystem"), QStringLiteral("|"),
            QStringLiteral(
                R"ps(format-list @{name='TotalMemorySize';Expression={$([math]::Round($_.TotalVisibleMemorySize/1Mb,2))}},@{name='AvailableMemorySize';expression={$([math]::Round($_.FreePhysicalMemory/1Mb,2))}})ps")};
}

inline QStringList pageFile()
{
    return {QStringLiteral("wmic pagefile"), QStringLiteral("get AllocatedBaseSize,CurrentUsage,PeakUsage /value")};
}

inline QStringList physicalDisks()
{
    return {QStringLiteral("Get-PhysicalDisk"), QStringLiteral(" | "),
            QStringLiteral(
                R"ps(ForEach-Object{"DeviceId={0,-25} Mediatype={1,-12} TotalSize(GB)={2,-16}" -f $_.DeviceId,$_.MediaType,([math]::Round($_.Size/1Gb,2)) })ps")};
}

inline QStringList tdrValues()
{
    return {QStringLiteral("Get-ItemPropertyValue"), QStringLiteral("-Path"),
            QStringLiteral(R"(Registry::HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\GraphicsDrivers\ )"),
            QStringLiteral("-Name"), QStringLiteral("TdrDelay,TdrDdiDelay")};
}

inline QStringList installedUpdates()
{
    return {QStringLiteral("systeminfo"), QStringLiteral("|"), QStringLiteral("findstr KB")};
}

inline QStringList firewallProfiles()
{
    return {QStringLiteral("netsh"), QStringLiteral("advfirewall"), QStringLiteral("show allprofiles")};
}

inline QStringList firewallRules()
{
    return {QStringLiteral("Get-NetFirewallRule"), QStringLiteral(R"(-Displayname "tessaly*" )")};
}

inline QStringList networkStatus() { return {QStringLiteral("ipconfig"), QStringLiteral("/all")}; }

inline QStringList vpnConnections() { return {QStringLiteral("Get-Vpnconnection")}; }

inline QStringList conflictingProcesses()
{
    return {QStringLiteral("Get-WmiObject"), QStringLiteral("Win32_PerfFormattedData_PerfProc_Process"), QStringLiteral("|"),
            QStringLiteral(
                R"ps(Where-Object { $_.name -match '^(wwbizsrv|ali|GamePP|GPP|tipray|kavsvc|avp|360|LiveUpdate360|ZhuDongFangYu)' })ps"),
            QStringLiteral("|"), QStringLiteral("ForEach-Object"),
            QStringLiteral(
                R"ps({"Process={0,-25} CPU_Usage_%={1,-12} Memory_Usage_={2,-16}" -f  $_.Name,$_.PercentProcessorTime,([math]::Round($_.WorkingSetPrivate/1Mb,2))})ps")};
}

// The name prefixes the process pipeline above matches, in its order.
inline QStringList conflictingProcessPrefixes()
{
    return {QStringLiteral("wwbizsrv"), QStringLiteral("ali"),    QStringLiteral("GamePP"), QStringLiteral("GPP"),
            QStringLiteral("tipray"),   QStringLiteral("kavsvc"), QStringLiteral("avp"),    QStringLiteral("360"),
            QStringLiteral("LiveUpdate360"), QStringLiteral("ZhuDongFangYu")};
}

inline QStringList removeFile(const QString &name) { return {QStringLiteral("Remove-Item"), name}; }

inline QStringList pingLoop()
{
    return {QStringLiteral("/c"),
            QStringLiteral("for /f %d in (ipconfig.txt) do (ping -n 4 %d >> ./logs/SupportTool/pingResult.txt)")};
}

inline QStringList routeLoop()
{
    return {QStringLiteral("/c"),
            QStringLiteral("for /f %d in (ipconfig.txt) do (tracert %d >> ./logs/SupportTool/tracertResult.txt)")};
}

// PowerShell runs its arguments as one script: the words joined by blanks.
inline QString asScript(const QStringList &arguments) { return arguments.join(QLatin1Char(' ')); }

} // namespace windowscommands

#endif // Q_MOC_RUN
