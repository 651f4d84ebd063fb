#include "findings/findingstext.h"

namespace findings {

namespace {

QString tag(const Finding &finding)
{
    return QLatin1Char('[') + severityName(finding.severity) + QStringLiteral("] ") + finding.code;
}

QString moreText(int more) { return QStringLiteral("%1 more findings not listed").arg(more); }

const QString kNoProblems = QStringLiteral("No problems found");
const QString kUnreadLabel = QStringLiteral("Reports not understood: ");

} // namespace

void forEachListed(const QVector<Finding> &found, const std::function<void(const Finding &)> &listed,
                   const std::function<void(const Finding &, int)> &more)
{
    // The findings of one code stand together (evaluate lists them so).
    int i = 0;
    while (i < found.size()) {
        int end = i;
        while (end < found.size() && found.at(end).code == found.at(i).code)
            ++end;
        const int shown = qMin(end - i, kMaxListedPerCode);
        for (int j = i; j < i + shown; ++j)
            listed(found.at(j));
        if (end - i > shown)
            more(found.at(i + shown - 1), end - i - shown);
        i = end;
    }
}

QString unreadText(const Review &review)
{
    QStringList parts;
    for (const Unread &unread : review.unread)
        parts << unread.name + QStringLiteral(" (") + unread.why + QLatin1Char(')');
    QString text = parts.join(QStringLiteral(", "));
    if (review.moreUnread > 0)
        text += QStringLiteral(" and %1 more").arg(review.moreUnread);
    return text;
}

QString paneBlock(const Review &review)
{
    QStringList lines{QStringLiteral("Findings: %1").arg(review.found.size())};
    forEachListed(
        review.found, [&lines](const Finding &finding) { lines << tag(finding) + QStringLiteral(": ") + finding.title; },
        [&lines](const Finding &last, int more) { lines << tag(last) + QStringLiteral(": ") + moreText(more); });
    if (review.found.isEmpty())
        lines << kNoProblems;
    if (!review.unread.isEmpty())
        lines << kUnreadLabel + unreadText(review);
    return lines.join(QLatin1Char('\n'));
}

QString fileText(const Review &review)
{
    QString text = QStringLiteral("Tessaly Render Support Tool findings: %1\nReports read: %2\n")
                       .arg(review.found.size())
                       .arg(review.reportsRead.isEmpty() ? QStringLiteral("none")
                                                         : review.reportsRead.join(QStringLiteral(", ")));
    if (!review.unread.isEmpty())
        text += kUnreadLabel + unreadText(review) + QLatin1Char('\n');
    if (review.found.isEmpty())
        return text + kNoProblems + QLatin1Char('\n');
    forEachListed(
        review.found,
        [&text](const Finding &finding) {
            text += QLatin1Char('\n') + tag(finding) + QStringLiteral("\nTitle: ") + finding.title
                  + QStringLiteral("\nEvidence: ") + evidenceText(finding.evidence) + QStringLiteral("\nAdvice: ")
                  + finding.advice + QLatin1Char('\n');
        },
        [&text](const Finding &last, int more) {
            text += QLatin1Char('\n') + tag(last) + QStringLiteral(": ") + moreText(more) + QLatin1Char('\n');
        });
    return text;
}

} // namespace findings
