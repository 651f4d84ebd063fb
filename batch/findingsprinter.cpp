#include "findingsprinter.h"

#include "findings/findingstext.h"
#include "jsontext.h"
#include "reports/reportsources.h"

namespace findingsprinter {

QByteArray jsonLines(const findings::Review &review, const QString &source)
{
    QByteArray lines;
    // Keys in the order a reader expects them, not sorted as the JSON
    // writer would.
    const auto line = [&lines, &source](QVector<QPair<const char *, QJsonValue>> members) {
        if (!source.isEmpty())
            members.prepend({"source", source});
        lines += jsontext::object(members) + '\n';
    };
    findings::forEachListed(
        review.found,
        [&line](const findings::Finding &finding) {
            line({{"finding", finding.code},
                  {"severity", findings::severityName(finding.severity)},
                  {"title", finding.title},
                  {"evidence", findings::evidenceText(finding.evidence)},
                  {"advice", finding.advice}});
        },
        [&line](const findings::Finding &last, int more) {
            line({{"more_findings", more}, {"code", last.code}, {"severity", findings::severityName(last.severity)}});
        });
    for (const findings::Unread &unread : review.unread)
        line({{"report_not_understood", unread.name}, {"why", unread.why}});
    if (review.moreUnread > 0)
        line({{"more_reports_not_understood", review.moreUnread}});
    return lines;
}

void print(std::FILE *out, bool json, const findings::Review &review)
{
    const QByteArray bytes = json ? jsonLines(review) : findings::fileText(review).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
    std::fflush(out);
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
