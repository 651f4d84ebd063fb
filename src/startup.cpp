#include "startup.h"

#include "records.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

#include <boost/filesystem.hpp>
#include <boost/system/error_code.hpp>
#include <glog/logging.h>

#include <cstdio>

namespace startup {

QString installationFolderOf(const QString &programPath)
{
    QString path = programPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.left(slash);
}

bool ensureReportFolder(QString *reason)
{
    const boost::filesystem::path folder("./logs/SupportTool");
    boost::system::error_code error;
    // Something already there is left as it is; but a file by that name is
    // no report folder, and running on would keep none of the reports.
    if (boost::filesystem::exists(folder, error)) {
        if (boost::filesystem::is_directory(folder, error))
            return true;
        if (reason)
            *reason = QStringLiteral("not a folder");
        return false;
    }
    boost::filesystem::create_directories(folder, error);
    if (error || !boost::filesystem::is_directory(folder)) {
        if (reason)
            *reason = QString::fromStdString(error ? error.message() : std::string("not a folder"));
        return false;
    }
    return true;
}

void tuneLogging()
{
    FLAGS_logbufsecs = 0;
    FLAGS_max_log_size = 10;
    FLAGS_stop_logging_if_full_disk = true;
    FLAGS_minloglevel = 0;
    // The library would also put a "latest file" link beside the reports,
    // which the archive would then carry as a second copy of one report.
    google::SetLogSymlink(google::GLOG_INFO, "");
}

void writeFirstRecords(const QString &versionId)
{
    records::info(records::kMain, 60, QStringLiteral("versionId:") + versionId);
    records::warning(records::kMain, 61, QStringLiteral("SupportTool beg"));
}

QString reportUnusableReportFolder(const QString &reason)
{
    const QString message =
        QStringLiteral("The report folder \"%1\" cannot be created (%2). Please install Tessaly Render in a "
                       "folder you can write to, or start the tool with the rights to write there.")
            .arg(QDir::current().absoluteFilePath(QStringLiteral("logs/SupportTool")), reason);
    records::write(records::Level::Error, records::kMain, 56, message);
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return message;
}

void appendStandInsToSearchPath(const QString &programFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(programFolder)
#else
    const QString standIns = QDir(programFolder).absoluteFilePath(QStringLiteral("standins"));
    QByteArray path = qgetenv("PATH");
    if (!path.isEmpty())
        path += ':';
    path += QFile::encodeName(standIns);
    qputenv("PATH", path);
#endif
}

void noteSettingsFile()
{
    if (!QFile::exists(settingsfile::name()))
        records::info(records::kMain, 68, settingsfile::missingNotice());
    else if (settingsfile::isOddEntry())
        records::warning(records::kMain, 69, settingsfile::oddEntryNotice());
}

} // namespace startup
