// The rules over the network reports: lost pings and the timed requests to
// the renderer's servers.

#include "findings/findingrules.h"
#include "findings/pingstatistics.h"
#include "findings/recordfacts.h"
#include "reports/reportset.h"

#include <QRegularExpression>

namespace findings::rules {

namespace {

struct ServerRecord
{
    const reportrecords::Record *record;
    QRegularExpressionMatch match;
};

// The last server run's records of a download (downloadLine) or API query
// (apiLine) whose text matches pattern.
QVector<ServerRecord> serverRecords(const ReportSet &reports, int downloadLine, int apiLine,
                                    const QRegularExpression &pattern)
{
    QVector<ServerRecord> found;
    if (!reports.server)
        return found;
    for (const reportrecords::Record &record : reports.server->records) {
        if (!record.is(records::kMainWindow, downloadLine) && !record.is(records::kMainWindow, apiLine))
            continue;
        QRegularExpressionMatch match = pattern.match(record.text);
        if (match.hasMatch())
            found.append({&record, match});
    }
    return found;
}

} // namespace

QVector<Hit> pingLoss(const ReportSet &reports, const Limits &)
{
    const reportrecords::Record *record = facts::record(reports.speedTest, 159, records::kMainWindow);
    if (!record)
        return {};
    QVector<Hit> hits;
    for (const pingstatistics::Outcome &outcome : pingstatistics::outcomes(record->text)) {
        if (outcome.received >= outcome.sent)
            continue;
        hits.append({{{QStringLiteral("target"), outcome.target},
                      {QStringLiteral("lost"), QString::number(outcome.sent - outcome.received)},
                      {QStringLiteral("sent"), QString::number(outcome.sent)}},
                     facts::evidenceOf(*reports.speedTest, *record, outcome.line),
                     outcome.target});
    }
    return hits;
}

QVector<Hit> serverUnreachable(const ReportSet &reports, const Limits &)
{
    static const QRegularExpression failed(QStringLiteral(" fail from (.+) failed$"));
    QVector<Hit> hits;
    for (const ServerRecord &server : serverRecords(reports, 318, 347, failed))
        hits.append({{{QStringLiteral("url"), server.match.captured(1)}},
                     facts::evidenceOf(*reports.server, *server.record, server.record->text),
                     server.match.captured(1)});
    return hits;
}

QVector<Hit> serverSlow(const ReportSet &reports, const Limits &limits)
{
    static const QRegularExpression done(QStringLiteral(" done from (.+) in (\\d+) ms$"));
    QVector<Hit> hits;
    for (const ServerRecord &server : serverRecords(reports, 325, 354, done)) {
        if (server.match.captured(2).toDouble() < limits.value)
            continue;
        hits.append({{{QStringLiteral("url"), server.match.captured(1)}, {QStringLiteral("value"), server.match.captured(2)}},
                     facts::evidenceOf(*reports.server, *server.record, server.record->text),
                     server.match.captured(1)});
    }
    return hits;
}

} // namespace findings::rules
