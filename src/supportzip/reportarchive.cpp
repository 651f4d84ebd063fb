#include "supportzip/reportarchive.h"

#include "supportzip/archivereader.h"

#include <QDir>
#include <QFileInfo>

namespace findings {

bool readReportArchive(const QString &archivePath, NewestReports *reports, QString *problem,
                       const ArchiveLimits &limits)
{
    QString why;
    const std::optional<archivereader::ArchiveReader> archive =
        archivereader::ArchiveReader::open(archivePath, limits.entries, &why);
    if (!archive) {
        *problem = QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(archivePath), why);
        return false;
    }
    qint64 readSoFar = 0;
    for (int index = 0; index < archive->entries().size(); ++index) {
        const QString name = reportNameOf(archive->entries().at(index).name);
        if (!kindOfName(name))
            continue;
        const qint64 left = limits.reportBytesInAll - readSoFar;
        QByteArray content;
        if (left < archive->entries().at(index).size) {
            why = QStringLiteral("its reports hold more than %1 bytes together").arg(limits.reportBytesInAll);
        } else if (archive->read(index, qMin(limits.reportBytes, left), &content, &why)) {
            readSoFar += content.size();
            reports->offer(name, content);
            continue;
        }
        *problem = QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(archivePath), why);
        return false;
    }
    return true;
}

bool readReportsAt(const QString &path, NewestReports *reports, QString *problem)
{
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!info.exists()) {
        *problem = QStringLiteral("%1 does not exist").arg(shown);
        return false;
    }
    if (info.isDir()) {
        const QString inside = info.filePath() + QStringLiteral("/logs/SupportTool");
        *reports = readReportFolder(QFileInfo(inside).isDir() ? inside : info.filePath());
    } else if (!info.isFile()) {
        *problem = QStringLiteral("%1 is neither a folder nor a file").arg(shown);
        return false;
    } else if (!readReportArchive(info.filePath(), reports, problem)) {
        return false;
    }
    if (reports->isEmpty()) {
        *problem = QStringLiteral("%1 holds no report of the Tessaly Render Support Tool").arg(shown);
        return false;
    }
    return true;
}

} // namespace findings
