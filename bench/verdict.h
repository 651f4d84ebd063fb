#pragma once
// Judging benchmark figures against their targets and printing them: each
// verdict is one headline (name, figure, target, PASS or MISS) followed by
// the figures it was drawn from.

#include "sidebyside.h"

#include <QString>
#include <QStringList>

namespace bench {

// One side of a comparison as printed: "runCommand" and its figures.
struct Side
{
    QString label;
    Figures figures;
};

// "    label: median 12.3 ms (min 11.0, max 14.0; 10 runs)"
QString figuresLine(const Side &side, const QString &unit);

// first's median over second's median held against the largest ratio
// allowed. A ratio that could not be formed (no figures, a zero median) is
// a miss.
bool ratioMet(const Side &first, const Side &second, double maxRatio);
QStringList ratioLines(const QString &name, const Side &first, const Side &second, const QString &unit,
                       double maxRatio);

// One figure held against an upper limit (the limit itself misses).
bool belowLimit(double value, double limit);
QStringList limitLines(const QString &name, double value, double limit, const QString &unit,
                       const QStringList &details);

// Prints verdicts as they come and counts the missed targets.
class Report
{
public:
    void ratio(const QString &name, const Side &first, const Side &second, const QString &unit, double maxRatio);
    void limit(const QString &name, double value, double limit, const QString &unit,
               const QStringList &details = {});
    // A line of context under the current benchmark.
    void note(const QString &text);
    int misses() const { return m_misses; }
    int verdicts() const { return m_verdicts; }

private:
    void print(const QStringList &lines, bool met);
    int m_misses = 0;
    int m_verdicts = 0;
};

} // namespace bench
