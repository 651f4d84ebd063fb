#include "findingsprinter.h"

#include "findings/findingstext.h"
#include "jsontext.h"
#include "supportzip/reportarchive.h"

namespace findingsprinter {

QByteArray jsonLines(const QVector<findings::Finding> &found)
{
    QByteArray lines;
    for (const findings::Finding &finding : found) {
        // Keys in the order a reader expects them, not sorted as the JSON
        // writer would.
        lines += jsontext::object({{"finding", finding.code},
                                   {"severity", findings::severityName(finding.severity)},
                                   {"title", finding.title},
                                   {"evidence", findings::evidenceText(finding.evidence)},
                                   {"advice", finding.advice}})
               + '\n';
    }
    return lines;
}

void print(std::FILE *out, bool json, const QVector<findings::Finding> &found, const findings::ReportSet &reports)
{
    const QByteArray bytes = json ? jsonLines(found) : findings::fileText(found, reports).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
    std::fflush(out);
}

bool printFindingsAt(std::FILE *out, bool json, const QString &path, QString *problem)
{
    findings::NewestReports newest;
    if (!findings::readReportsAt(path, &newest, problem))
        return false;
    const findings::ReportSet reports = newest.reportSet();
    print(out, json, findings::evaluate(reports), reports);
    return true;
}

bool printInstallationFindings(std::FILE *out, bool json, QString *problem)
{
    const findings::ReportSet reports = findings::installationReports();
    if (reports.holdsNoReport()) {
        *problem = QStringLiteral("logs/SupportTool holds no report yet: run an action first");
        return false;
    }
    print(out, json, findings::evaluate(reports), reports);
    return true;
}

} // namespace findingsprinter
