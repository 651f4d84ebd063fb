#include "records/records.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QMutex>
#include <QThread>
#include <QTimer>

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
ReportSession &current()
{
    static ReportSession session;
    return session;
}

QString stampOf(const QDateTime &time) { return time.toString(QStringLiteral("yyyyMMdd-HHmmss")); }

// Waits until no file of prefix bears the current second's name. Two
// rounds at most: only this process makes such names, one per switch, so
// the next second's is free (unless something else took it: the report
// then says its file could not be created).
void waitForFreeName(const QString &prefix)
{
    for (int round = 0; round < 2; ++round) {
        const QDateTime now = QDateTime::currentDateTime();
        const QFileInfo taken(reportFileName(prefix, stampOf(now)));
        if (!taken.exists() && !taken.isSymLink())
            return;
        const int untilNextSecond = 1000 - now.time().msec() + 5;
        QCoreApplication *application = QCoreApplication::instance();
        if (application && application->thread() == QThread::currentThread()) {
            // The window stays served meanwhile, as during any wait.
            QEventLoop loop;
            QTimer::singleShot(untilNextSecond, &loop, &QEventLoop::quit);
            loop.exec(QEventLoop::AllEvents);
        } else {
            QThread::msleep(untilNextSecond);
        }
    }
}

} // namespace

QString reportFileName(const QString &prefix, const QString &stamp)
{
    return prefix + stamp + QLatin1Char('.') + QString::number(QCoreApplication::applicationPid());
}

void switchReport(const QString &prefix)
{
    bool begins = false;
    {
        const QMutexLocker guard(&currentMutex);
        begins = current().prefix != prefix;
    }
    if (begins)
        waitForFreeName(prefix);
    {
        const QMutexLocker guard(&currentMutex);
        if (current().prefix != prefix)
            current() = {prefix, current().number + 1};
    }
    google::SetLogDestination(google::GLOG_INFO, prefix.toLocal8Bit().constData());
}

ReportSession currentReport()
{
    const QMutexLocker guard(&currentMutex);
    return current();
}

} // namespace records
