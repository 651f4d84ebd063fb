#include "reports/reportsources.h"

#include "installation/scratchfile.h"
#include "reports/reportreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace findings {

namespace {

void readReportFile(ReportKind kind, const QFileInfo &info, NewestReports *reports)
{
    const QString name = info.fileName();
    if (!scratchfile::isPlain(info.filePath()))
        return reports->offerUnread(name, QStringLiteral("it is not a plain file"));
    if (info.size() > kMaxReportBytes)
        return reports->offerUnread(name, tooLargeText(kMaxReportBytes));
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return reports->offerUnread(name, QStringLiteral("it cannot be opened: %1").arg(file.errorString()));
    ReportReader reader(kind, name);
    QByteArray piece(kReadPieceBytes, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got < 0)
            return reports->offerUnread(name, QStringLiteral("it cannot be read: %1").arg(file.errorString()));
        if (got == 0)
            break;
        // It may have grown since it was listed.
        total += got;
        if (total > kMaxReportBytes)
            return reports->offerUnread(name, tooLargeText(kMaxReportBytes));
        reader.add(piece.constData(), got);
    }
    reader.finishInto(reports);
}

} // namespace

QString whyNotListed(const QString &folder)
{
#ifdef Q_OS_WIN
    const std::filesystem::path path(folder.toStdWString());
#else
    const std::filesystem::path path(QFile::encodeName(folder).toStdString());
#endif
    std::error_code error;
    const std::filesystem::directory_iterator listing(path, error);
    return error ? QString::fromLocal8Bit(error.message().c_str()) : QString();
}

QString reportNameOf(const QString &entryName)
{
    const QStringList parts = entryName.split(QLatin1Char('/'));
    return parts.size() >= 2 && parts.at(parts.size() - 2) == QLatin1String("SupportTool") ? parts.last() : QString();
}

QString tooLargeText(qint64 limit)
{
    return QStringLiteral("it holds more than %1 bytes, more than a report gets").arg(limit);
}

bool readReportFolder(const QString &folder, NewestReports *reports, QString *problem)
{
    if (const QString why = whyNotListed(folder); !why.isEmpty()) {
        *problem = why;
        return false;
    }
    const QDir dir(folder);
    for (const QFileInfo &info : dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        if (const std::optional<ReportKind> kind = kindOfName(info.fileName()))
            readReportFile(*kind, info, reports);
    }
    return true;
}

ReportSet installationReports()
{
    NewestReports reports;
    QString problem;
    readReportFolder(QStringLiteral("logs/SupportTool"), &reports, &problem);
    return reports.reportSet(QDir::currentPath());
}

} // namespace findings
