#include "findings/findings.h"

#include "findings/findingrules.h"
#include "findings/recordfacts.h"

#include <algorithm>

namespace findings {

namespace {

QString filledIn(const char *text, const Limits &limits, const Hit &hit)
{
    QString result = QString::fromUtf8(text);
    result.replace(QLatin1String("{limit}"), facts::shortNumber(limits.value));
    result.replace(QLatin1String("{percent}"), facts::shortNumber(limits.percent));
    for (const auto &field : hit.fields)
        result.replace(QLatin1Char('{') + field.first + QLatin1Char('}'), field.second);
    return result;
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

QVector<Finding> evaluate(const ReportSet &reports)
{
    QVector<Finding> found;
    for (const Rule &rule : ruleTable()) {
        for (const Hit &hit : rule.find(reports, rule.limits)) {
            found.append({QString::fromLatin1(rule.code), rule.severity, filledIn(rule.title, rule.limits, hit),
                          hit.evidence, filledIn(rule.advice, rule.limits, hit)});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Finding &a, const Finding &b) { return int(a.severity) < int(b.severity); });
    return found;
}

} // namespace findings
