// Reading the firewall profiles from the front-ends' configuration and the
// kernel's table list, which need neither root nor the firewall tools.

#include "firewall.h"

#include "console.h"
#include "facttree.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace powershell {

namespace {

QString inboundOutbound(bool blockInbound, bool blockOutbound)
{
    return (blockInbound ? QStringLiteral("BlockInbound,") : QStringLiteral("AllowInbound,"))
           + (blockOutbound ? QStringLiteral("BlockOutbound") : QStringLiteral("AllowOutbound"));
}

bool blocks(const QString &policy)
{
    return policy.compare(QLatin1String("DROP"), Qt::CaseInsensitive) == 0
           || policy.compare(QLatin1String("REJECT"), Qt::CaseInsensitive) == 0;
}

QString enableDisable(bool value) { return value ? QStringLiteral("Enable") : QStringLiteral("Disable"); }

void addUfw(const QString &root, QVector<FirewallProfile> &profiles)
{
    const QString conf = underRoot(root, QStringLiteral("etc/ufw/ufw.conf"));
    if (!QFileInfo::exists(conf))
        return;
    const QString defaults = underRoot(root, QStringLiteral("etc/default/ufw"));
    // ufw logs blocked packets from "low" on, allowed ones from "medium" on.
    const QString level = assignedValue(conf, QStringLiteral("LOGLEVEL")).toLower();
    const bool logsBlocked = !level.isEmpty() && level != QLatin1String("off");
    const bool logsAllowed = level == QLatin1String("medium") || level == QLatin1String("high")
                             || level == QLatin1String("full");
    profiles.append({QStringLiteral("ufw"),
                     assignedValue(conf, QStringLiteral("ENABLED")).compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0,
                     inboundOutbound(blocks(assignedValue(defaults, QStringLiteral("DEFAULT_INPUT_POLICY"))),
                                     blocks(assignedValue(defaults, QStringLiteral("DEFAULT_OUTPUT_POLICY")))),
                     underRoot(root, QStringLiteral("etc/ufw/user.rules")), enableDisable(logsAllowed),
                     enableDisable(logsBlocked), underRoot(root, QStringLiteral("var/log/ufw.log"))});
}

void addFirewalld(const QString &root, QVector<FirewallProfile> &profiles)
{
    const QString conf = underRoot(root, QStringLiteral("etc/firewalld/firewalld.conf"));
    if (!QFileInfo::exists(conf))
        return;
    QString zone = assignedValue(conf, QStringLiteral("DefaultZone"));
    if (zone.isEmpty())
        zone = QStringLiteral("public");
    // The default zone target rejects what no rule lets in; outgoing traffic
    // is not filtered.
    QString zoneText = standin::readText(underRoot(root, QStringLiteral("etc/firewalld/zones/") + zone + QStringLiteral(".xml")));
    if (zoneText.isEmpty())
        zoneText = standin::readText(underRoot(root, QStringLiteral("usr/lib/firewalld/zones/") + zone + QStringLiteral(".xml")));
    static const QRegularExpression target(QStringLiteral("<zone[^>]*\\btarget=\"([^\"]+)\""));
    const bool acceptsAll = target.match(zoneText).captured(1) == QLatin1String("ACCEPT");
    const QString logDenied = assignedValue(conf, QStringLiteral("LogDenied"));
    profiles.append({QStringLiteral("firewalld (zone ") + zone + QLatin1Char(')'), unitEnabled(root, QStringLiteral("firewalld.service")),
                     inboundOutbound(!acceptsAll, false), underRoot(root, QStringLiteral("etc/firewalld/zones")),
                     QStringLiteral("Disable"), enableDisable(!logDenied.isEmpty() && logDenied != QLatin1String("off")),
                     QStringLiteral("systemd journal")});
}

// The policy of the chains hooked at input and output in an nftables
// configuration.
QString nftablesPolicy(const QString &config)
{
    static const QRegularExpression hook(QStringLiteral("hook\\s+(input|output)[^;]*;\\s*policy\\s+(\\w+)"));
    bool blockInbound = false;
    bool blockOutbound = false;
    for (auto it = hook.globalMatch(config); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        (match.captured(1) == QLatin1String("input") ? blockInbound : blockOutbound) = blocks(match.captured(2));
    }
    return inboundOutbound(blockInbound, blockOutbound);
}

void addNftables(const QString &root, QVector<FirewallProfile> &profiles)
{
    const QString conf = underRoot(root, QStringLiteral("etc/nftables.conf"));
    if (!QFileInfo::exists(conf))
        return;
    profiles.append({QStringLiteral("nftables"), unitEnabled(root, QStringLiteral("nftables.service")),
                     nftablesPolicy(standin::readText(conf)), conf, QStringLiteral("N/A"), QStringLiteral("N/A"),
                     QStringLiteral("N/A")});
}

// The kernel's iptables tables, with the policy of the saved rules of
// iptables-persistent when there are any.
void addIptables(const QString &root, QVector<FirewallProfile> &profiles)
{
    const QStringList tables = nonEmptyLines(underRoot(root, QStringLiteral("proc/net/ip_tables_names")))
                               + nonEmptyLines(underRoot(root, QStringLiteral("proc/net/ip6_tables_names")));
    const QString saved = underRoot(root, QStringLiteral("etc/iptables/rules.v4"));
    const bool hasSaved = QFileInfo::exists(saved);
    if (!tables.contains(QLatin1String("filter")) && !hasSaved)
        return;
    QString policy = QStringLiteral("N/A");
    if (hasSaved) {
        bool blockInbound = false;
        bool blockOutbound = false;
        for (const QString &line : nonEmptyLines(saved)) {
            const QStringList fields = whitespaceFields(line);
            if (fields.size() >= 2 && fields.first() == QLatin1String(":INPUT"))
                blockInbound = blocks(fields.at(1));
            if (fields.size() >= 2 && fields.first() == QLatin1String(":OUTPUT"))
                blockOutbound = blocks(fields.at(1));
        }
        policy = inboundOutbound(blockInbound, blockOutbound);
    }
    profiles.append({QStringLiteral("iptables"), tables.contains(QLatin1String("filter")), policy,
                     hasSaved ? saved : QStringLiteral("N/A"), QStringLiteral("N/A"), QStringLiteral("N/A"),
                     QStringLiteral("N/A")});
}

} // namespace

QVector<FirewallProfile> readFirewallProfiles(const QString &root)
{
    QVector<FirewallProfile> profiles;
    addUfw(root, profiles);
    addFirewalld(root, profiles);
    addNftables(root, profiles);
    addIptables(root, profiles);
    return profiles;
}

} // namespace powershell
