// The rules over the software-conflict and network configuration reports:
// conflicting programs, firewall rules that block the renderer, VPNs.

#include "findings/findingrules.h"
#include "findings/recordfacts.h"
#include "reports/reportset.h"

#include <QRegularExpression>

namespace findings::rules {

namespace {

// The listing below a record's heading line, without the closing hyphens.
QString listingOf(const reportrecords::Record &record)
{
    QString listing = record.text.section(QLatin1Char('\n'), 1);
    while (listing.endsWith(QLatin1Char('-')))
        listing.chop(1);
    return listing;
}

} // namespace

QVector<Hit> conflictingSoftware(const ReportSet &reports, const Limits &)
{
    const reportrecords::Record *record = facts::record(reports.software, 468);
    if (!record)
        return {};
    static const QRegularExpression processLine(QStringLiteral("^Process=(.*?) +CPU_Usage_%=.*$"),
                                                QRegularExpression::MultilineOption);
    QStringList names;
    QStringList lines;
    for (auto match = processLine.globalMatch(record->text); match.hasNext();) {
        const QRegularExpressionMatch next = match.next();
        names << next.captured(1).trimmed();
        lines << next.captured(0).simplified();
    }
    if (names.isEmpty())
        return {};
    return {{{{QStringLiteral("names"), facts::nameList(names)}},
             facts::evidenceOf(*reports.software, *record, lines.join(QStringLiteral("; "))),
             QString()}};
}

QVector<Hit> firewallBlocksTessaly(const ReportSet &reports, const Limits &)
{
    const reportrecords::Record *record = facts::record(reports.config, 384);
    if (!record)
        return {};
    const QStringList shown{QStringLiteral("Name"), QStringLiteral("DisplayName"), QStringLiteral("Enabled"),
                            QStringLiteral("Direction"), QStringLiteral("Action")};
    QVector<Hit> hits;
    for (const QMap<QString, QString> &rule : facts::formatListBlocks(listingOf(*record))) {
        if (rule.value(QStringLiteral("Enabled")).compare(QLatin1String("True"), Qt::CaseInsensitive) != 0
            || rule.value(QStringLiteral("Action")).compare(QLatin1String("Block"), Qt::CaseInsensitive) != 0)
            continue;
        const QString name = rule.value(QStringLiteral("DisplayName"), rule.value(QStringLiteral("Name")));
        const QString direction = rule.value(QStringLiteral("Direction"));
        // A rule's Name is its own; display names are often shared.
        const QString subject = rule.value(QStringLiteral("Name"), name + QLatin1Char('\n') + direction);
        hits.append({{{QStringLiteral("name"), name}, {QStringLiteral("direction"), direction}},
                     facts::evidenceOf(*reports.config, *record, facts::quoted(rule, shown)),
                     subject});
    }
    return hits;
}

QVector<Hit> vpnPresent(const ReportSet &reports, const Limits &)
{
    const reportrecords::Record *record = facts::record(reports.config, 451);
    if (!record)
        return {};
    QStringList names;
    QStringList quotes;
    for (const QMap<QString, QString> &connection : facts::formatListBlocks(listingOf(*record))) {
        const QString name = connection.value(QStringLiteral("Name"));
        if (name.isEmpty())
            continue;
        names << name;
        quotes << facts::quoted(connection, {QStringLiteral("Name")});
    }
    if (names.isEmpty())
        return {};
    quotes.removeDuplicates();
    return {{{{QStringLiteral("names"), facts::nameList(names)}},
             facts::evidenceOf(*reports.config, *record, quotes.join(QStringLiteral(", "))),
             QString()}};
}

} // namespace findings::rules
