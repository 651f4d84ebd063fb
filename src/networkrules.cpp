// The rules over the network reports: lost pings and the timed requests to
// the renderer's servers.

#include "findingrules.h"
#include "pingstatistics.h"
#include "recordfacts.h"
#include "reportset.h"

#include <QRegularExpression>

namespace findings::rules {

namespace {

bool isServerRecord(const reportrecords::Record &record, int downloadLine, int apiLine)
{
    return record.file == QLatin1String("mainwindow.cpp") && (record.line == downloadLine || record.line == apiLine);
}

} // namespace

QVector<Hit> pingLoss(const ReportSet &reports, const Limits &)
{
    if (!reports.speedTest)
        return {};
    const int index = facts::lastIndex(reports.speedTest->run, 159, "mainwindow.cpp");
    if (index < 0)
        return {};
    const reportrecords::Record &record = reports.speedTest->run.at(index);
    QVector<Hit> hits;
    for (const pingstatistics::Outcome &outcome : pingstatistics::outcomes(record.text)) {
        if (outcome.received >= outcome.sent)
            continue;
        hits.append({{{QStringLiteral("target"), outcome.target},
                      {QStringLiteral("lost"), QString::number(outcome.sent - outcome.received)},
                      {QStringLiteral("sent"), QString::number(outcome.sent)}},
                     facts::evidenceOf(*reports.speedTest, record, outcome.line)});
    }
    return hits;
}

QVector<Hit> serverUnreachable(const ReportSet &reports, const Limits &)
{
    if (!reports.server)
        return {};
    static const QRegularExpression failed(QStringLiteral(" fail from (.+) failed$"));
    QVector<Hit> hits;
    for (const reportrecords::Record &record : reports.server->run) {
        const QRegularExpressionMatch match = failed.match(record.text);
        if (isServerRecord(record, 318, 347) && match.hasMatch())
            hits.append({{{QStringLiteral("url"), match.captured(1)}}, facts::evidenceOf(*reports.server, record, record.text)});
    }
    return hits;
}

QVector<Hit> serverSlow(const ReportSet &reports, const Limits &limits)
{
    if (!reports.server)
        return {};
    static const QRegularExpression done(QStringLiteral(" done from (.+) in (\\d+) ms$"));
    QVector<Hit> hits;
    for (const reportrecords::Record &record : reports.server->run) {
        const QRegularExpressionMatch match = done.match(record.text);
        if (!isServerRecord(record, 325, 354) || !match.hasMatch() || match.captured(2).toDouble() < limits.value)
            continue;
        hits.append({{{QStringLiteral("url"), match.captured(1)}, {QStringLiteral("value"), match.captured(2)}},
                     facts::evidenceOf(*reports.server, record, record.text)});
    }
    return hits;
}

} // namespace findings::rules
