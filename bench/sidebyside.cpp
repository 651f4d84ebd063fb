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
    for (int round = 0; round < warmUps; ++round) {
        first();
        second();
    }
    SideBySide result;
    for (int round = 0; round < rounds; ++round) {
        result.first.values << first();
        result.second.values << second();
    }
    return result;
}

} // namespace bench
