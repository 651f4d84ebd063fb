#include "recordsummary.h"

namespace testsupport {

QStringList placesOf(const QList<Record> &records)
{
    QStringList places;
    for (const Record &record : records)
        places << QStringLiteral("%1 %2:%3").arg(record.level).arg(record.file).arg(record.line);
    return places;
}

QString asReadBack(const QString &text) { return text.endsWith(QLatin1Char('\n')) ? text.chopped(1) : text; }

} // namespace testsupport
