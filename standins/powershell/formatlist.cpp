#include "formatlist.h"

#include "console.h"

#include <algorithm>

namespace powershell {

QStringList formatList(const QVector<PropertyList> &objects)
{
    if (objects.isEmpty())
        return {};

    int keyWidth = 0;
    for (const PropertyList &object : objects)
        for (const Property &property : object)
            keyWidth = std::max(keyWidth, property.first.size());

    QStringList lines{QString()};
    for (const PropertyList &object : objects) {
        for (const Property &property : object)
            lines << standin::padRight(property.first, keyWidth) + QStringLiteral(" : ") + property.second;
        lines << QString();
    }
    lines << QString();
    return lines;
}

QString powershellBool(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace powershell
