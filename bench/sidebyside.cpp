#include "sidebyside.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace bench {

double median(QVector<double> values)
{
    if (values.isEmpty())
        return std::numeric_limits<double>::quiet_NaN();
    std::sort(values.begin(), values.end());
    const int middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

double Figures::minimum() const
{
    return values.isEmpty() ? std::numeric_limits<double>::quiet_NaN()
                            : *std::min_element(values.cbegin(), values.cend());
}

double Figures::maximum() const
{
    return values.isEmpty() ? std::numeric_limits<double>::quiet_NaN()
                            : *std::max_element(values.cbegin(), values.cend());
}

SideBySide alternate(int rounds, int warmUps, const std::function<double()> &first,
                     const std::function<double()> &second)
{
    const QVector<Figures> both = alternate(rounds, warmUps, {first, second});
    return {both.at(0), both.at(1)};
}

QVector<Figures> alternate(int rounds, int warmUps, const QVector<std::function<double()>> &sides)
{
    for (int round = 0; round < warmUps; ++round) {
        for (const auto &side : sides)
            side();
    }
    QVector<Figures> result(sides.size());
    for (int round = 0; round < rounds; ++round) {
        for (int index = 0; index < sides.size(); ++index)
            result[index].values << sides.at(index)();
    }
    return result;
}

} // namespace bench
