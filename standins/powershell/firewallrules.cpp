// Reading the firewall rules that concern the host application from the
// saved rules of ufw, nftables, iptables-persistent and firewalld.

#include "firewall.h"

#include "console.h"
#include "facttree.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace powershell {

namespace {

QString where(const QString &path, int lineIndex) { return path + QLatin1Char(':') + QString::number(lineIndex + 1); }

QString actionOf(const QString &verdict)
{
    const QString word = verdict.toLower();
    if (word.startsWith(QLatin1String("allow")) || word.startsWith(QLatin1String("limit"))
        || word == QLatin1String("accept"))
        return QStringLiteral("Allow");
    if (word.startsWith(QLatin1String("deny")) || word.startsWith(QLatin1String("reject"))
        || word == QLatin1String("drop"))
        return QStringLiteral("Block");
    return QStringLiteral("NotConfigured");
}

// ufw keeps each rule as a "### tuple ###" line: action, protocol,
// destination port and address, source port and address, direction, then
// the comment in hexadecimal.
void addUfwRules(const QString &root, const QString &word, QVector<FirewallRule> &rules)
{
    const bool active = assignedValue(underRoot(root, QStringLiteral("etc/ufw/ufw.conf")), QStringLiteral("ENABLED"))
                            .compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
    for (const QString &file : {QStringLiteral("etc/ufw/user.rules"), QStringLiteral("etc/ufw/user6.rules")}) {
        const QString path = underRoot(root, file);
        const QStringList lines = standin::readText(path).split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            static const QString marker = QStringLiteral("### tuple ###");
            if (!lines.at(i).startsWith(marker))
                continue;
            const QStringList fields = whitespaceFields(lines.at(i).mid(marker.size()));
            QString comment;
            QStringList ruleFields;
            for (const QString &field : fields) {
                if (field.startsWith(QLatin1String("comment=")))
                    comment = QString::fromUtf8(QByteArray::fromHex(field.mid(8).toLatin1()));
                else
                    ruleFields << field;
            }
            const QString rule = ruleFields.join(QLatin1Char(' '));
            if (!comment.contains(word, Qt::CaseInsensitive) && !rule.contains(word, Qt::CaseInsensitive))
                continue;
            const QString direction = ruleFields.value(6);
            rules.append({where(path, i), comment.isEmpty() ? rule : comment, rule, QStringLiteral("ufw"), active,
                          direction.startsWith(QLatin1String("out")) ? QStringLiteral("Outbound") : QStringLiteral("Inbound"),
                          actionOf(ruleFields.value(0)), path});
        }
    }
}

QString directionOfHook(const QString &hookOrChain)
{
    const QString name = hookOrChain.toLower();
    return name.contains(QLatin1String("output")) || name.contains(QLatin1String("postrouting")) ? QStringLiteral("Outbound")
                                                                                                   : QStringLiteral("Inbound");
}

// The last verdict word of a rule line.
QString verdictOf(const QStringList &words, const QStringList &verdicts)
{
    for (int i = words.size() - 1; i >= 0; --i)
        if (verdicts.contains(words.at(i).toLower()))
            return words.at(i);
    return QString();
}

// nftables rules mention the word in their own comment, or a comment line
// just above them names them.
void addNftablesRules(const QString &root, const QString &word, QVector<FirewallRule> &rules)
{
    const QString mainFile = underRoot(root, QStringLiteral("etc/nftables.conf"));
    QStringList files;
    if (QFileInfo::exists(mainFile))
        files << mainFile;
    for (const QString &folder : {QStringLiteral("etc/nftables.d"), QStringLiteral("etc/nftables")}) {
        const QDir dir(underRoot(root, folder));
        for (const QString &name : dir.entryList({QStringLiteral("*.nft"), QStringLiteral("*.conf")}, QDir::Files, QDir::Name))
            files << dir.filePath(name);
    }
    const bool active = unitEnabled(root, QStringLiteral("nftables.service"));
    static const QRegularExpression chain(QStringLiteral("^\\s*chain\\s+(\\S+)"));
    static const QRegularExpression hook(QStringLiteral("\\bhook\\s+(\\w+)"));
    static const QRegularExpression comment(QStringLiteral("\\bcomment\\s+\"([^\"]*)\""));
    const QStringList verdicts{QStringLiteral("accept"), QStringLiteral("drop"), QStringLiteral("reject")};

    for (const QString &path : files) {
        const QStringList lines = standin::readText(path).split(QLatin1Char('\n'));
        QString direction = QStringLiteral("Inbound");
        QString pendingName;
        for (int i = 0; i < lines.size(); ++i) {
            const QString line = lines.at(i).trimmed();
            if (const QRegularExpressionMatch m = chain.match(line); m.hasMatch()) {
                direction = directionOfHook(m.captured(1));
                pendingName.clear();
                continue;
            }
            if (const QRegularExpressionMatch m = hook.match(line); m.hasMatch()) {
                direction = directionOfHook(m.captured(1));
                continue;
            }
            if (line.startsWith(QLatin1Char('#'))) {
                pendingName = line.mid(1).trimmed().contains(word, Qt::CaseInsensitive) ? line.mid(1).trimmed() : QString();
                continue;
            }
            if (line.isEmpty() || line == QLatin1String("}"))
                continue;
            const QString ownComment = comment.match(line).captured(1);
            const QString name = !ownComment.isEmpty() ? ownComment : pendingName;
            pendingName.clear();
            if (!name.contains(word, Qt::CaseInsensitive) && !line.contains(word, Qt::CaseInsensitive))
                continue;
            rules.append({where(path, i), name.isEmpty() ? line : name, line, QStringLiteral("nftables"), active,
                          direction, actionOf(verdictOf(whitespaceFields(line), verdicts)), path});
        }
    }
}

// iptables-persistent keeps "-A CHAIN ... -m comment --comment "..." -j VERDICT".
void addIptablesRules(const QString &root, const QString &word, QVector<FirewallRule> &rules)
{
    static const QRegularExpression comment(QStringLiteral("--comment\\s+(\"([^\"]*)\"|(\\S+))"));
    static const QRegularExpression verdict(QStringLiteral("-j\\s+(\\w+)"));
    const bool active = unitEnabled(root, QStringLiteral("netfilter-persistent.service"));
    for (const QString &file : {QStringLiteral("etc/iptables/rules.v4"), QStringLiteral("etc/iptables/rules.v6")}) {
        const QString path = underRoot(root, file);
        const QStringList lines = standin::readText(path).split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const QString line = lines.at(i).trimmed();
            if (!line.startsWith(QLatin1String("-A ")) || !line.contains(word, Qt::CaseInsensitive))
                continue;
            const QRegularExpressionMatch named = comment.match(line);
            const QString name = named.hasMatch() ? named.captured(2) + named.captured(3) : line;
            rules.append({where(path, i), name, line, QStringLiteral("iptables"), active,
                          directionOfHook(whitespaceFields(line).value(1)), actionOf(verdict.match(line).captured(1)),
                          path});
        }
    }
}

// firewalld services named after the word, enabled when a zone lists them.
void addFirewalldRules(const QString &root, const QString &word, QVector<FirewallRule> &rules)
{
    static const QRegularExpression shortName(QStringLiteral("<short>([^<]*)</short>"));
    const QDir services(underRoot(root, QStringLiteral("etc/firewalld/services")));
    const QDir zones(underRoot(root, QStringLiteral("etc/firewalld/zones")));
    QString zoneTexts;
    for (const QString &zone : zones.entryList({QStringLiteral("*.xml")}, QDir::Files))
        zoneTexts += standin::readText(zones.filePath(zone));
    const bool running = unitEnabled(root, QStringLiteral("firewalld.service"));

    for (const QString &file : services.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        const QString path = services.filePath(file);
        const QString text = standin::readText(path);
        const QString service = QFileInfo(file).completeBaseName();
        const QString title = shortName.match(text).captured(1).trimmed();
        if (!service.contains(word, Qt::CaseInsensitive) && !title.contains(word, Qt::CaseInsensitive))
            continue;
        const bool listed = zoneTexts.contains(QStringLiteral("<service name=\"") + service + QLatin1Char('"'));
        rules.append({path, title.isEmpty() ? service : title, QStringLiteral("service ") + service,
                      QStringLiteral("firewalld"), running && listed, QStringLiteral("Inbound"), QStringLiteral("Allow"), path});
    }
}

} // namespace

QVector<FirewallRule> readFirewallRules(const QString &root, const QString &word)
{
    QVector<FirewallRule> rules;
    addUfwRules(root, word, rules);
    addNftablesRules(root, word, rules);
    addIptablesRules(root, word, rules);
    addFirewalldRules(root, word, rules);
    return rules;
}

} // namespace powershell
