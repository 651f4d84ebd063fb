#include "findings/findings.h"

#include "findings/findingrules.h"
#include "findings/recordfacts.h"

#include <QSet>

#include <algorithm>

namespace findings {

namespace {

QString filledIn(const char *text, const Limits &limits, const Hit &hit)
{
    QString result = QString::fromUtf8(text);
    result.replace(QLatin1String("{limit}"), facts::shortNumber(limits.value));
    result.replace(QLatin1String("{percent}"), facts::shortNumber(limits.percent));
    for (const auto &field : hit.fields)
        result.replace(QLatin1Char('{') + field.first + QLatin1Char('}'), capped(field.second, kMaxFieldChars));
    return result;
}

QStringList inspectionReportNames(const ReportSet &reports)
{
    QStringList names;
    for (const std::optional<Report> *report :
         {&reports.hardware, &reports.software, &reports.speedTest, &reports.server, &reports.config}) {
        if (*report)
            names << (*report)->name;
    }
    return names;
}

} // namespace

QString severityName(Severity severity)
{
    switch (severity) {
    case Severity::Critical: return QStringLiteral("critical");
    case Severity::Warning: return QStringLiteral("warning");
    case Severity::Info: return QStringLiteral("info");
    }
    return QString();
}

QString evidenceText(const Evidence &evidence)
{
    return evidence.report + QLatin1Char(' ') + evidence.place + QStringLiteral(": ") + evidence.value;
}

QString capped(const QString &text, int limit)
{
    if (text.size() <= limit)
        return text;
    int keep = limit - 1;
    if (text.at(keep - 1).isHighSurrogate())
        --keep; // not half a character
    return text.left(keep) + QChar(0x2026);
}

QVector<Finding> evaluate(const ReportSet &reports)
{
    QVector<Finding> found;
    for (const Rule &rule : ruleTable()) {
        QSet<QString> subjects;
        for (const Hit &hit : rule.find(reports, rule.limits)) {
            // A report that lists a subject twice says no more than once.
            if (subjects.contains(hit.subject))
                continue;
            subjects.insert(hit.subject);
            Evidence evidence = hit.evidence;
            evidence.value = capped(evidence.value, kMaxEvidenceChars);
            found.append({QString::fromLatin1(rule.code), rule.severity, filledIn(rule.title, rule.limits, hit),
                          evidence, filledIn(rule.advice, rule.limits, hit)});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Finding &a, const Finding &b) { return int(a.severity) < int(b.severity); });
    return found;
}

Review review(const ReportSet &reports)
{
    return {evaluate(reports), inspectionReportNames(reports), reports.unread, reports.moreUnread};
}

} // namespace findings
