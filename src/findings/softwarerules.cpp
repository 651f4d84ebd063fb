// The rules over the software-conflict and network configuration reports:
// conflicting programs, firewall rules that block the renderer, VPNs.

#include "findings/findingrules.h"
#include "findings/recordfacts.h"
#include "reports/reportset.h"

#include <QRegularExpression>

namespace findings::rules {

namespace {

// The last record at line of report, or nullptr.
const reportrecords::Record *recordOf(const std::optional<Report> &report, int line)
{
    if (!report)
        return nullptr;
    const int index = facts::lastIndex(report->run, line);
    return index >= 0 ? &report->run.at(index) : nullptr;
}

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
    const reportrecords::Record *record = recordOf(reports.software, 468);
    if (!record)
        return {};
    static const QRegularExpression processLine(QStringLiteral("^Process=(.*?) +CPU_Usage_%="),
                                                QRegularExpression::MultilineOption);
    QStringList names;
    for (auto match = processLine.globalMatch(record->text); match.hasNext();)
        names << match.next().captured(1).trimmed();
    if (names.isEmpty())
        return {};
    const QString listed = names.join(QStringLiteral(", "));
    return {{{{QStringLiteral("names"), listed}}, facts::evidenceOf(*reports.software, *record, listed)}};
}

QVector<Hit> firewallBlocksTessaly(const ReportSet &reports, const Limits &)
{
    const reportrecords::Record *record = recordOf(reports.config, 384);
    if (!record)
        return {};
    QVector<Hit> hits;
    for (const QMap<QString, QString> &rule : facts::formatListBlocks(listingOf(*record))) {
        if (rule.value(QStringLiteral("Enabled")).compare(QLatin1String("True"), Qt::CaseInsensitive) != 0
            || rule.value(QStringLiteral("Action")).compare(QLatin1String("Block"), Qt::CaseInsensitive) != 0)
            continue;
        const QString name = rule.value(QStringLiteral("DisplayName"), rule.value(QStringLiteral("Name")));
        const QString direction = rule.value(QStringLiteral("Direction"));
        const QString seen = QStringLiteral("DisplayName : %1, Enabled : %2, Direction : %3, Action : %4")
                                 .arg(name, rule.value(QStringLiteral("Enabled")), direction,
                                      rule.value(QStringLiteral("Action")));
        hits.append({{{QStringLiteral("name"), name}, {QStringLiteral("direction"), direction}},
                     facts::evidenceOf(*reports.config, *record, seen)});
    }
    return hits;
}

QVector<Hit> vpnPresent(const ReportSet &reports, const Limits &)
{
    const reportrecords::Record *record = recordOf(reports.config, 451);
    if (!record)
        return {};
    QStringList names;
    for (const QMap<QString, QString> &connection : facts::formatListBlocks(listingOf(*record))) {
        const QString name = connection.value(QStringLiteral("Name"));
        if (!name.isEmpty())
            names << name;
    }
    if (names.isEmpty())
        return {};
    const QString listed = names.join(QStringLiteral(", "));
    return {{{{QStringLiteral("names"), listed}}, facts::evidenceOf(*reports.config, *record, QStringLiteral("Name : ") + listed)}};
}

} // namespace findings::rules
