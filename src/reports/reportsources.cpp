#include "reports/reportsources.h"

#include "installation/scratchfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace findings {

QString reportNameOf(const QString &entryName)
{
    const QStringList parts = entryName.split(QLatin1Char('/'));
    return parts.size() >= 2 && parts.at(parts.size() - 2) == QLatin1String("SupportTool") ? parts.last() : QString();
}

NewestReports readReportFolder(const QString &folder)
{
    NewestReports reports;
    const QDir dir(folder);
    for (const QFileInfo &info : dir.entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name)) {
        if (!kindOfName(info.fileName()) || info.size() > kMaxReportBytes || !scratchfile::isPlain(info.filePath()))
            continue;
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            reports.offer(info.fileName(), file.read(kMaxReportBytes));
    }
    return reports;
}

ReportSet installationReports()
{
    return readReportFolder(QStringLiteral("logs/SupportTool")).reportSet(QDir::currentPath());
}

} // namespace findings
