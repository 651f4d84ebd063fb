#include "verdict.h"

#include <QTextStream>

#include <cmath>

namespace bench {

namespace {

QString number(double value)
{
    if (std::isnan(value))
        return QStringLiteral("n/a");
    // Three significant digits at least, never fewer than two decimals below 10.
    return QString::number(value, 'f', std::fabs(value) >= 100 ? 0 : std::fabs(value) >= 10 ? 1 : 2);
}

QString verdictWord(bool met) { return met ? QStringLiteral("PASS") : QStringLiteral("MISS"); }

double ratioOf(const Side &first, const Side &second)
{
    const double denominator = second.figures.median();
    if (std::isnan(denominator) || denominator <= 0)
        return std::nan("");
    return first.figures.median() / denominator;
}

} // namespace

QString figuresLine(const Side &side, const QString &unit)
{
    return QStringLiteral("    %1: median %2 %3 (min %4, max %5; %6 runs)")
        .arg(side.label, number(side.figures.median()), unit, number(side.figures.minimum()),
             number(side.figures.maximum()))
        .arg(side.figures.values.size());
}

bool ratioMet(const Side &first, const Side &second, double maxRatio)
{
    const double ratio = ratioOf(first, second);
    return !std::isnan(ratio) && ratio <= maxRatio;
}

QStringList ratioLines(const QString &name, const Side &first, const Side &second, const QString &unit,
                       double maxRatio)
{
    const double ratio = ratioOf(first, second);
    return {QStringLiteral("%1: %2 (target at most %3x) %4")
                .arg(name, std::isnan(ratio) ? number(ratio) : number(ratio) + QLatin1Char('x'), number(maxRatio),
                     verdictWord(ratioMet(first, second, maxRatio))),
            figuresLine(first, unit), figuresLine(second, unit)};
}

bool belowLimit(double value, double limit) { return !std::isnan(value) && value < limit; }

QStringList limitLines(const QString &name, double value, double limit, const QString &unit,
                       const QStringList &details)
{
    QStringList lines{QStringLiteral("%1: %2 %3 (target under %4 %3) %5")
                          .arg(name, number(value), unit, number(limit), verdictWord(belowLimit(value, limit)))};
    for (const QString &detail : details)
        lines << QStringLiteral("    ") + detail;
    return lines;
}

void Report::ratio(const QString &name, const Side &first, const Side &second, const QString &unit,
                   double maxRatio)
{
    print(ratioLines(name, first, second, unit, maxRatio), ratioMet(first, second, maxRatio));
}

void Report::limit(const QString &name, double value, double limit, const QString &unit,
                   const QStringList &details)
{
    print(limitLines(name, value, limit, unit, details), belowLimit(value, limit));
}

void Report::note(const QString &text) { QTextStream(stdout) << QStringLiteral("    ") << text << Qt::endl; }

void Report::print(const QStringList &lines, bool met)
{
    ++m_verdicts;
    if (!met)
        ++m_misses;
    QTextStream out(stdout);
    for (const QString &line : lines)
        out << line << Qt::endl;
}

} // namespace bench
