#include "findings/pingstatistics.h"

#include <QRegularExpression>

namespace pingstatistics {

QVector<Outcome> outcomes(const QString &pingOutput)
{
    static const QRegularExpression windowsTarget(QStringLiteral("^Pinging (\\S+)"));
    static const QRegularExpression windowsCounts(
        QStringLiteral("^Packets: Sent = (\\d+), Received = (\\d+), Lost = \\d+"));
    static const QRegularExpression linuxTarget(QStringLiteral("^--- (.+) ping statistics ---$"));
    static const QRegularExpression linuxCounts(
        QStringLiteral("^(\\d+) packets transmitted, (\\d+) (packets )?received"));
    // Any line end: an output whose lines end in a carriage return alone
    // would otherwise be one line, its statistics never read.
    static const QRegularExpression lineEnd(QStringLiteral("[\\r\\n]"));

    QVector<Outcome> result;
    QString target;
    for (const QString &rawLine : pingOutput.split(lineEnd)) {
        const QString line = rawLine.trimmed();
        QRegularExpressionMatch match = windowsTarget.match(line);
        if (!match.hasMatch())
            match = linuxTarget.match(line);
        if (match.hasMatch()) {
            target = match.captured(1);
            continue;
        }
        match = windowsCounts.match(line);
        if (!match.hasMatch())
            match = linuxCounts.match(line);
        if (match.hasMatch() && !target.isEmpty()) {
            result.append({target, match.captured(1).toInt(), match.captured(2).toInt(), line});
            target.clear();
        }
    }
    return result;
}

} // namespace pingstatistics
