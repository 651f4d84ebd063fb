#include "supportzip/reportarchive.h"

#include "findings/findingstext.h"
#include "reports/reportreader.h"
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
        const std::optional<ReportKind> kind = kindOfName(name);
        if (!kind)
            continue;
        const qint64 left = limits.reportBytesInAll - readSoFar;
        if (left < archive->entries().at(index).size) {
            why = QStringLiteral("its reports hold more than %1 bytes together").arg(limits.reportBytesInAll);
        } else {
            ReportReader reader(*kind, name);
            const auto take = [&reader, &readSoFar](const char *piece, qint64 size) {
                readSoFar += size;
                reader.add(piece, size);
            };
            if (archive->readPieces(index, qMin(limits.reportBytes, left), take, &why)) {
                reader.finishInto(reports);
                continue;
            }
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
        QString why;
        if (!readReportFolder(QFileInfo(inside).isDir() ? inside : info.filePath(), reports, &why)) {
            *problem = QStringLiteral("%1 cannot be read: %2").arg(shown, why);
            return false;
        }
    } else if (!info.isFile()) {
        *problem = QStringLiteral("%1 is neither a folder nor a file").arg(shown);
        return false;
    } else if (!readReportArchive(info.filePath(), reports, problem)) {
        return false;
    }
    if (reports->sawNoReport()) {
        *problem = QStringLiteral("%1 holds no report of the Tessaly Render Support Tool").arg(shown);
        return false;
    }
    return true;
}

std::optional<Review> reviewAt(const QString &path, QString *problem)
{
    NewestReports reports;
    if (!readReportsAt(path, &reports, problem))
        return std::nullopt;
    Review found = review(reports.reportSet());
    if (reports.isEmpty()) {
        *problem = QStringLiteral("%1 holds no report the tool can read: %2")
                       .arg(QDir::toNativeSeparators(path), unreadText(found));
        return std::nullopt;
    }
    return found;
}

} // namespace findings
