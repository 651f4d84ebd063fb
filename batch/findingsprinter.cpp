#include "findingsprinter.h"

#include "findings/findingstext.h"
#include "jsontext.h"
#include "reports/reportsources.h"
#include "supportzip/reportarchive.h"

namespace findingsprinter {

QByteArray jsonLines(const findings::Review &review)
{
    QByteArray lines;
    // Keys in the order a reader expects them, not sorted as the JSON
    // writer would.
    findings::forEachListed(
        review.found,
        [&lines](const findings::Finding &finding) {
            lines += jsontext::object({{"finding", finding.code},
                                       {"severity", findings::severityName(finding.severity)},
                                       {"title", finding.title},
                                       {"evidence", findings::evidenceText(finding.evidence)},
                                       {"advice", finding.advice}})
                   + '\n';
        },
        [&lines](const findings::Finding &last, int more) {
            lines += jsontext::object({{"more_findings", more},
                                       {"code", last.code},
                                       {"severity", findings::severityName(last.severity)}})
                   + '\n';
        });
    for (const findings::Unread &unread : review.unread)
        lines += jsontext::object({{"report_not_understood", unread.name}, {"why", unread.why}}) + '\n';
    if (review.moreUnread > 0)
        lines += jsontext::object({{"more_reports_not_understood", review.moreUnread}}) + '\n';
    return lines;
}

void print(std::FILE *out, bool json, const findings::Review &review)
{
    const QByteArray bytes = json ? jsonLines(review) : findings::fileText(review).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
    std::fflush(out);
}

bool printFindingsAt(std::FILE *out, bool json, const QString &path, QString *problem)
{
    const std::optional<findings::Review> review = findings::reviewAt(path, problem);
    if (!review)
        return false;
    print(out, json, *review);
    return true;
}

bool printInstallationFindings(std::FILE *out, bool json, QString *problem)
{
    const findings::ReportSet reports = findings::installationReports();
    const findings::Review review = findings::review(reports);
    if (reports.holdsNoReport()) {
        *problem = review.unread.isEmpty()
            ? QStringLiteral("logs/SupportTool holds no report yet: run an action first")
            : QStringLiteral("logs/SupportTool holds no report the tool can read: %1").arg(findings::unreadText(review));
        return false;
    }
    print(out, json, review);
    return true;
}

} // namespace findingsprinter
