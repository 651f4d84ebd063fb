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

    QVector<Outcome> result;
    QString target;
    // Any line end: an output whose lines end in a carriage return alone
    // would otherwise be one line, its statistics never read.
    for (const QString &rawLine : QString(pingOutput).replace(QLatin1Char('\r'), QLatin1Char('\n')).split(QLatin1Char('\n'))) {
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
