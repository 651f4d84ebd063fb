#include "formatlist.h"

#include <algorithm>

namespace powershell {

QStringList formatList(const QVector<PropertyBlock> &objects)
{
    if (objects.isEmpty())
        return {};

    QStringList lines{QString(), QString()};
    for (int i = 0; i < objects.size(); ++i) {
        const PropertyBlock &block = objects.at(i);
        int width = 0;
        for (const Property &property : block)
            width = std::max(width, property.first.size());
        if (i > 0)
            lines << QString();
        for (const Property &property : block)
            lines << property.first.leftJustified(width) + QStringLiteral(" : ") + property.second;
    }
    lines << QString() << QString() << QString();
    return lines;
}

} // namespace powershell
