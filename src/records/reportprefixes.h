#pragma once
// The report prefixes the actions point the run log's INFO records at.

#include <QString>

namespace reportprefix {
inline QString hardware() { return QStringLiteral("./logs/SupportTool/SupportLog_HardWare_"); }
inline QString softwareConfliction() { return QStringLiteral("./logs/SupportTool/SupportLog_software_confliction_"); }
inline QString networkSpeedTest() { return QStringLiteral("./logs/SupportTool/SupportLog_network_speedTest_"); }
inline QString networkServer() { return QStringLiteral("./logs/SupportTool/SupportLog_network_server_"); }
inline QString networkConfig() { return QStringLiteral("./logs/SupportTool/SupportLog_network_config_"); }
inline QString zip() { return QStringLiteral("./logs/SupportTool/SupportLog_zip_"); }
} // namespace reportprefix
