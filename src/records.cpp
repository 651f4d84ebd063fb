#include "records.h"

#include <glog/logging.h>

namespace records {

namespace {
google::LogSeverity severityOf(Level level)
{
    switch (level) {
    case Level::Info: return google::GLOG_INFO;
    case Level::Warning: return google::GLOG_WARNING;
    case Level::Error: return google::GLOG_ERROR;
    }
    return google::GLOG_INFO;
}
} // namespace

void writeBytes(Level level, const char *file, int line, const QByteArray &bytes)
{
    google::LogMessage message(file, line, severityOf(level));
    message.stream().write(bytes.constData(), bytes.size());
}

void write(Level level, const char *file, int line, const QString &text)
{
    writeBytes(level, file, line, text.toUtf8());
}

QString hyphens(int count) { return QString(count, QLatin1Char('-')); }

void writeChecks(const QVector<CheckRecord> &checkRecords)
{
    for (const CheckRecord &record : checkRecords)
        info(kInspection, record.line, record.text);
}

void switchReport(const QString &prefix)
{
    google::SetLogDestination(google::GLOG_INFO, prefix.toLocal8Bit().constData());
}

} // namespace records
