// The findings' rules in one place: code, severity, thresholds, title and
// advice of each. Change a threshold or a text here; the functions named
// in the last column only read the records. In the texts, {name} stands
// for what the rule saw, {limit} and {percent} for the limits of the row.

#include "findings/findingrules.h"

namespace findings {

// Grouped by the report each rule reads; the findings are listed most
// severe first, and in this order within one severity.
const QVector<Rule> &ruleTable()
{
    using S = Severity;
    static const QVector<Rule> table = {
        // code, severity, {limit, percent, small volume}, title, advice, rule
        {"d3d12-unsupported", S::Critical, {},
         "The graphics adapter does not reach Direct3D 12 feature level 12_0",
         "Install the graphics driver from the adapter maker's site; if 12_0 is still missing, Tessaly Render needs a "
         "newer graphics adapter.",
         rules::d3d12Unsupported},
        {"raytracing-unsupported", S::Warning, {},
         "The graphics adapter has no hardware ray tracing (Direct3D 12 options 5)",
         "Install the newest graphics driver; without ray tracing tier 1.0 the ray-traced render modes are unavailable.",
         rules::raytracingUnsupported},
        {"tdr-delay-short", S::Warning, {10},
         "The graphics driver's time-out TdrDelay is {value}, less than {limit} s",
         "Set TdrDelay (REG_DWORD) to {limit} or more under HKLM\\SYSTEM\\CurrentControlSet\\Control\\GraphicsDrivers "
         "and restart, so long frames are not cut off.",
         rules::tdrDelayShort},
        {"gpu-memory-low", S::Warning, {4},
         "The graphics adapter has {value} GB of memory, less than {limit} GB",
         "Render smaller scenes or lower texture sizes, or use a graphics adapter with {limit} GB or more.",
         rules::gpuMemoryLow},
        {"memory-low", S::Warning, {8},
         "The computer has {value} GB of memory, less than {limit} GB",
         "Close other programs while rendering, or add memory.",
         rules::memoryLow},
        {"memory-available-low", S::Warning, {2},
         "Only {value} GB of memory was free, less than {limit} GB",
         "Close the programs you do not need before starting Tessaly Render.",
         rules::memoryAvailableLow},
        {"page-file-missing", S::Warning, {},
         "There is no page file",
         "Let the system manage the page file size, so a large scene does not run out of memory.",
         rules::pageFileMissing},
        {"disk-space-low", S::Warning, {10, 10, 4},
         "Volume {volume} has {available} GB free ({share} %), less than {limit} GB or {percent} %",
         "Free space on {volume}: Tessaly Render keeps its cache and logs there.",
         rules::diskSpaceLow},
        {"conflicting-software", S::Warning, {},
         "Programs known to disturb Tessaly Render are running: {names}",
         "Quit these programs, or pause them, while Tessaly Render runs.",
         rules::conflictingSoftware},
        {"firewall-blocks-tessaly", S::Critical, {},
         "Firewall rule \"{name}\" blocks Tessaly Render ({direction})",
         "Disable or delete that firewall rule, or set its action to Allow.",
         rules::firewallBlocksTessaly},
        {"vpn-present", S::Info, {},
         "A VPN connection is set up: {names}",
         "If sign-in or downloads fail, try again with the VPN disconnected.",
         rules::vpnPresent},
        {"ping-loss", S::Warning, {},
         "Pings to {target} lost {lost} of {sent} packets",
         "Check the network connection (cable, Wi-Fi signal, router) and run the check again.",
         rules::pingLoss},
        {"server-unreachable", S::Critical, {},
         "Tessaly Render's server {url} could not be reached",
         "Check that no firewall, proxy or VPN stops Tessaly Render from reaching its servers, then try again.",
         rules::serverUnreachable},
        {"server-slow", S::Warning, {3000},
         "Tessaly Render's server {url} took {value} ms, {limit} ms or more",
         "The connection is slow: try a wired connection, or again at another time.",
         rules::serverSlow},
    };
    return table;
}

} // namespace findings
