#pragma once
// Measuring two ways of doing the same job in turn (A, B, A, B, ...), so that
// whatever else the machine is busy with weighs on both sides alike, and
// summing each side up by its median.

#include <QString>
#include <QVector>

#include <functional>

namespace bench {

// The middle value (the mean of the two middle ones for an even count);
// NaN for no values.
double median(QVector<double> values);

// The figures one side of a comparison produced, in milliseconds or any
// other unit the caller keeps to.
struct Figures
{
    QVector<double> values;

    double median() const { return bench::median(values); }
    double minimum() const;
    double maximum() const;
};

struct SideBySide
{
    Figures first;
    Figures second;
};

// Runs first and second `rounds` times each, alternating and beginning with
// first; each call returns its own figure. `warmUps` extra alternating rounds
// come before and are not kept (caches, lazy loading, the first connection).
SideBySide alternate(int rounds, int warmUps, const std::function<double()> &first,
                     const std::function<double()> &second);

// The same for any number of sides, taken in turn in the order given.
QVector<Figures> alternate(int rounds, int warmUps, const QVector<std::function<double()>> &sides);

} // namespace bench
