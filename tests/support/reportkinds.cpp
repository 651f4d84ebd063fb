#include "reportkinds.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

namespace testsupport {

QString reportKinds()
{
    static const QRegularExpression report(QStringLiteral("^(SupportLog_.*_)\\d{8}-\\d{6}\\.\\d+$"));
    QStringList kinds;
    for (const QString &name :
         QDir(QStringLiteral("logs/SupportTool")).entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        const QRegularExpressionMatch match = report.match(name);
        kinds << (match.hasMatch() ? match.captured(1) : name);
    }
    kinds.sort();
    return kinds.join(QStringLiteral(", "));
}

} // namespace testsupport
