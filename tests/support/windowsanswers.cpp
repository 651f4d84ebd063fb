#include "windowsanswers.h"

#include "hardwaresamples.h"
#include "inspection/windowscommands.h"
#include "powershellanswers.h"

#include <QTextCodec>

namespace windowsanswers {

QString conflictingProcess() { return QStringLiteral("360Bürosoftware"); }
QString firewallRule() { return QStringLiteral("Tessaly Règle entrante"); }
QString adapter() { return QStringLiteral("Verbindung über LAN"); }

namespace {

QString updates()
{
    return QStringLiteral("Hotfix(s):                 3 Hotfix(s) Installed.\r\n"
                          "                           [01]: KB5031988\r\n"
                          "                           [02]: KB5032189\r\n"
                          "                           [03]: KB5032907\r\n");
}

QString processes()
{
    return QStringLiteral("Process=%1           CPU_Usage_%=3            Memory_Usage_=41.27           \r\n")
        .arg(conflictingProcess());
}

QString firewallProfiles()
{
    QString text = QStringLiteral("\r\n");
    for (const char *profile : {"Domain", "Private", "Public"}) {
        text += QStringLiteral("%1 Profile Settings: \r\n"
                               "----------------------------------------------------------------------\r\n"
                               "State                                 ON\r\n"
                               "Firewall Policy                       BlockInbound,AllowOutbound\r\n"
                               "\r\n")
                    .arg(QLatin1String(profile));
    }
    return text + QStringLiteral("Ok.\r\n\r\n");
}

QString firewallRules()
{
    return QStringLiteral("\r\n"
                          "Name                  : {6d1c5e2a-0f3b-4c55-9a1e-2b7d0c3e4f51}\r\n"
                          "DisplayName           : %1\r\n"
                          "Description           : \r\n"
                          "Enabled               : True\r\n"
                          "Profile               : Any\r\n"
                          "Direction             : Inbound\r\n"
                          "Action                : Block\r\n"
                          "\r\n\r\n\r\n")
        .arg(firewallRule());
}

QString networkStatus()
{
    return QStringLiteral("\r\n"
                          "Windows IP Configuration\r\n"
                          "\r\n"
                          "   Host Name . . . . . . . . . . . . : RENDER-PC\r\n"
                          "   Primary Dns Suffix  . . . . . . . : \r\n"
                          "   Node Type . . . . . . . . . . . . : Hybrid\r\n"
                          "   IP Routing Enabled. . . . . . . . : No\r\n"
                          "\r\n"
                          "Ethernet adapter %1:\r\n"
                          "\r\n"
                          "   Connection-specific DNS Suffix  . : \r\n"
                          "   Description . . . . . . . . . . . : Intel(R) Ethernet Connection (7) I219-V\r\n"
                          "   Physical Address. . . . . . . . . : 00-1B-21-3A-4F-5C\r\n"
                          "   DHCP Enabled. . . . . . . . . . . : Yes\r\n"
                          "   IPv4 Address. . . . . . . . . . . : 192.168.178.24(Preferred) \r\n"
                          "   Subnet Mask . . . . . . . . . . . : 255.255.255.0\r\n"
                          "   Default Gateway . . . . . . . . . : 192.168.178.1\r\n"
                          "   DNS Servers . . . . . . . . . . . : 192.168.178.1\r\n")
        .arg(adapter());
}

struct Answer
{
    QStringList command;
    QString output;
};

QList<Answer> answers()
{
    using namespace windowscommands;
    const auto text = [](const QByteArray &bytes) { return QString::fromUtf8(bytes); };
    return {{processor(), text(hardwaresamples::kProcessor)},
            {videoControllers(), text(hardwaresamples::kVideoControllers)},
            {adapterMemory(), text(hardwaresamples::kAdapterMemory)},
            {gpuMemoryUsage(), text(hardwaresamples::kGpuMemoryUsage)},
            {gpuEngineUtilization(), text(hardwaresamples::kGpuEngineUtilization)},
            {tdrValues(), text(hardwaresamples::kTdrValues)},
            {physicalMemory(), text(hardwaresamples::kPhysicalMemory)},
            {pageFile(), text(hardwaresamples::kPageFile)},
            {physicalDisks(), text(hardwaresamples::kPhysicalDisks)},
            {installedUpdates(), updates()},
            {conflictingProcesses(), processes()},
            {windowscommands::firewallProfiles(), firewallProfiles()},
            {windowscommands::firewallRules(), firewallRules()},
            {windowscommands::networkStatus(), networkStatus()},
            {vpnConnections(), QString()}};
}

} // namespace

QStringList outputs()
{
    QStringList texts;
    for (const Answer &answer : answers())
        texts << answer.output;
    return texts;
}

bool write(const QString &folder, unsigned codePage)
{
    const QByteArray codecName = codePage == 65001 ? QByteArray("UTF-8") : "CP" + QByteArray::number(codePage);
    const QTextCodec *codec = QTextCodec::codecForName(codecName);
    if (!codec)
        return false;
    const testsupport::PowerShellAnswers folderOfAnswers(folder);
    for (const Answer &answer : answers()) {
        if (!folderOfAnswers.add(answer.command, codec->fromUnicode(answer.output)))
            return false;
    }
    return true;
}

} // namespace windowsanswers
