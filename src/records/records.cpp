#include "records/records.h"

#include <QMutex>

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
    // The logging library cuts every record to 30000 bytes, prefix included,
    // wherever that falls, which can be inside a character: a report would
    // then no longer be UTF-8. Texts that long are cut here first, between
    // two characters, with room left for the prefix.
    constexpr int kLongestText = 29800;
    QByteArray bytes = text.toUtf8();
    if (bytes.size() > kLongestText) {
        int end = kLongestText;
        while (end > 0 && (uchar(bytes.at(end)) & 0xC0) == 0x80)
            --end; // back to the first byte of the character the cut would split
        bytes.truncate(end);
    }
    writeBytes(level, file, line, bytes);
}

QString hyphens(int count) { return QString(count, QLatin1Char('-')); }

void writeChecks(const QVector<CheckRecord> &checkRecords)
{
    for (const CheckRecord &record : checkRecords)
        info(kInspection, record.line, record.text);
}

namespace {
QMutex currentMutex;
QString &current()
{
    static QString prefix;
    return prefix;
}
} // namespace

void switchReport(const QString &prefix)
{
    {
        const QMutexLocker guard(&currentMutex);
        current() = prefix;
    }
    google::SetLogDestination(google::GLOG_INFO, prefix.toLocal8Bit().constData());
}

QString currentReport()
{
    const QMutexLocker guard(&currentMutex);
    return current();
}

} // namespace records
