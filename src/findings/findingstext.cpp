#include "findings/findingstext.h"

#include "reports/reportset.h"

namespace findings {

namespace {

QString tag(const Finding &finding)
{
    return QLatin1Char('[') + severityName(finding.severity) + QStringLiteral("] ") + finding.code;
}

const QString kNoProblems = QStringLiteral("No problems found");

} // namespace

QString paneBlock(const QVector<Finding> &found)
{
    QStringList lines{QStringLiteral("Findings: %1").arg(found.size())};
    for (const Finding &finding : found)
        lines << tag(finding) + QStringLiteral(": ") + finding.title;
    if (found.isEmpty())
        lines << kNoProblems;
    return lines.join(QLatin1Char('\n'));
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

QString fileText(const QVector<Finding> &found, const ReportSet &reports)
{
    const QStringList names = inspectionReportNames(reports);
    QString text = QStringLiteral("Tessaly Render Support Tool findings: %1\nReports read: %2\n")
                       .arg(found.size())
                       .arg(names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")));
    if (found.isEmpty())
        return text + kNoProblems + QLatin1Char('\n');
    for (const Finding &finding : found) {
        text += QLatin1Char('\n') + tag(finding) + QStringLiteral("\nTitle: ") + finding.title
              + QStringLiteral("\nEvidence: ") + evidenceText(finding.evidence) + QStringLiteral("\nAdvice: ")
              + finding.advice + QLatin1Char('\n');
    }
    return text;
}

} // namespace findings
