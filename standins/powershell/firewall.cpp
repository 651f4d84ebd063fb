#include "firewall.h"

#include "commands.h"
#include "console.h"
#include "formatlist.h"
#include "inspection/windowscommands.h"

namespace powershell {

namespace {

constexpr int kKeyWidth = 38;

QString setting(const QString &key, const QString &value) { return standin::padRight(key, kKeyWidth) + value; }

// The word the host application's rules are named after, and the display
// name pattern the command asks for.
const QString kHostWord = QStringLiteral("tessaly");
const QString kDisplayNamePattern = QStringLiteral("tessaly*");

} // namespace

QStringList firewallProfileLines(const QVector<FirewallProfile> &profiles)
{
    if (profiles.isEmpty())
        return {QString(),
                QStringLiteral("No firewall state could be read: no ufw, firewalld, nftables or iptables "
                               "configuration was found and the kernel holds no iptables filter table."),
                QString()};

    QStringList lines;
    for (const FirewallProfile &profile : profiles) {
        lines << QString() << profile.name + QStringLiteral(" Profile Settings: ") << QString(70, QLatin1Char('-'))
              << setting(QStringLiteral("State"), profile.on ? QStringLiteral("ON") : QStringLiteral("OFF"))
              << setting(QStringLiteral("Firewall Policy"), profile.policy)
              << setting(QStringLiteral("LocalFirewallRules"), profile.ruleStore) << QString()
              << QStringLiteral("Logging:") << setting(QStringLiteral("LogAllowedConnections"), profile.logAllowed)
              << setting(QStringLiteral("LogDroppedConnections"), profile.logDropped)
              << setting(QStringLiteral("FileName"), profile.logFile);
    }
    lines << QString() << QStringLiteral("Ok.") << QString();
    return lines;
}

QStringList firewallRuleLines(const QVector<FirewallRule> &rules)
{
    QVector<PropertyBlock> objects;
    for (const FirewallRule &rule : rules) {
        objects.append({
            {QStringLiteral("Name"), rule.name},
            {QStringLiteral("DisplayName"), rule.displayName},
            {QStringLiteral("Description"), rule.description},
            {QStringLiteral("DisplayGroup"), rule.group},
            {QStringLiteral("Group"), rule.group},
            {QStringLiteral("Enabled"), powershellBool(rule.enabled)},
            {QStringLiteral("Profile"), QStringLiteral("Any")},
            {QStringLiteral("Platform"), QStringLiteral("{}")},
            {QStringLiteral("Direction"), rule.direction},
            {QStringLiteral("Action"), rule.action},
            {QStringLiteral("EdgeTraversalPolicy"), QStringLiteral("Block")},
            {QStringLiteral("LooseSourceMapping"), powershellBool(false)},
            {QStringLiteral("LocalOnlyMapping"), powershellBool(false)},
            {QStringLiteral("Owner"), QString()},
            {QStringLiteral("PrimaryStatus"), QStringLiteral("OK")},
            {QStringLiteral("Status"), QStringLiteral("The rule was parsed successfully from the store. (65536)")},
            {QStringLiteral("EnforcementStatus"), QStringLiteral("NotApplicable")},
            {QStringLiteral("PolicyStoreSource"), rule.store},
            {QStringLiteral("PolicyStoreSourceType"), QStringLiteral("Local")},
        });
    }
    return formatList(objects);
}

QString firewallRuleNotFoundError(const QString &pattern)
{
    const QString command = QStringLiteral("Get-NetFirewallRule -Displayname \"") + pattern + QLatin1Char('"');
    return QStringLiteral("Get-NetFirewallRule : No MSFT_NetFirewallRule objects found with property 'DisplayName' "
                          "equal to '%1'.  Verify the value of the property and retry.\r\n"
                          "At line:1 char:1\r\n"
                          "+ %2\r\n"
                          "+ %3\r\n"
                          "    + CategoryInfo          : ObjectNotFound: (%1:String) [Get-NetFirewallRule], CimJobException\r\n"
                          "    + FullyQualifiedErrorId : CmdletizationQuery_NotFound_DisplayName,Get-NetFirewallRule\r\n"
                          " \r\n")
        .arg(pattern, command, QString(command.size(), QLatin1Char('~')));
}

int printFirewallProfiles()
{
    const QVector<FirewallProfile> profiles = readFirewallProfiles(QStringLiteral("/"));
    standin::writeOutLines(firewallProfileLines(profiles));
    // netsh ends with 1 when it could not show the profiles.
    return profiles.isEmpty() ? 1 : 0;
}

int printFirewallRules()
{
    const QVector<FirewallRule> rules = readFirewallRules(QStringLiteral("/"), kHostWord);
    if (rules.isEmpty()) {
        standin::writeError(firewallRuleNotFoundError(kDisplayNamePattern));
        return 1;
    }
    standin::writeOutLines(firewallRuleLines(rules));
    return 0;
}

} // namespace powershell
