#pragma once
// The Linux firewall as netsh shows the Windows firewall profiles, and the
// rules that concern the host application as Get-NetFirewallRule lists them.

#include <QString>
#include <QStringList>
#include <QVector>

namespace powershell {

// One firewall front-end or kernel filter found on the machine, shown as a
// profile of its own.
struct FirewallProfile
{
    QString name;            // "ufw", "firewalld", "nftables", "iptables"
    bool on = false;
    QString policy;          // "BlockInbound,AllowOutbound" and the like, or "N/A"
    QString ruleStore;       // where its rules are kept
    QString logAllowed;      // "Enable", "Disable" or "N/A"
    QString logDropped;
    QString logFile;
};

struct FirewallRule
{
    QString name;         // where the rule stands: file and line
    QString displayName;  // its comment, or the rule itself
    QString description;  // the rule as written
    QString group;        // the front-end it belongs to
    bool enabled = false; // whether that front-end is active
    QString direction;    // "Inbound" or "Outbound"
    QString action;       // "Allow", "Block" or "NotConfigured"
    QString store;        // the file holding it
};

// The firewall profiles readable without special tools under root ("/").
QVector<FirewallProfile> readFirewallProfiles(const QString &root);

// The rules under root that mention the word, in any case.
QVector<FirewallRule> readFirewallRules(const QString &root, const QString &word);

// netsh's listing of the profiles; with none, the sentence saying that no
// firewall state could be read.
QStringList firewallProfileLines(const QVector<FirewallProfile> &profiles);

// Get-NetFirewallRule's Format-List lines; none gives no line.
QStringList firewallRuleLines(const QVector<FirewallRule> &rules);

// PowerShell's error when no rule has a display name like the pattern.
QString firewallRuleNotFoundError(const QString &pattern);

} // namespace powershell
