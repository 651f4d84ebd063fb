#include "reports/reportwrites.h"

#include "records/records.h"
#include "reports/reportrecords.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <QStorageInfo>

#include <glog/logging.h>


#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

namespace reportwrites {

namespace {

struct Tally
{
    qint64 records = 0;
    qint64 textLength = 0;

    void add(const QVector<reportrecords::Record> &parsed)
    {
        records += parsed.size();
        for (const reportrecords::Record &record : parsed)
            textLength += record.text.size();
    }
    bool covers(const Tally &sent) const { return records >= sent.records && textLength >= sent.textLength; }
};

// Sees every record after the library has written it, and tallies it for
// the report current then. The library holds its own lock meanwhile, so
// nothing here may log.
class TallySink : public google::LogSink
{
public:
    void send(google::LogSeverity, const char *, const char *, int, const google::LogMessageTime &,
              const char *message, size_t length) override
    {
        const QString report = records::currentReport();
        if (report.isEmpty())
            return;
        // The line as the library writes it, under a stand-in prefix.
        QByteArray line("I20000101 00:00:00.000000 1 tally.cpp:1] ");
        line.append(message, int(length));
        line.append('\n');
        Tally tally;
        tally.add(reportrecords::parse(line));
        const QMutexLocker guard(&m_mutex);
        Tally &sent = m_sent[report];
        sent.records += tally.records;
        sent.textLength += tally.textLength;
    }

    QMap<QString, Tally> sent() const
    {
        const QMutexLocker guard(&m_mutex);
        return m_sent;
    }

private:
    mutable QMutex m_mutex;
    QMap<QString, Tally> m_sent;
};

struct Watch
{
    TallySink sink;
    QString startStamp; // "yyyyMMdd-HHmmss", as the library names files
    QSet<QString> told;
};

Watch *&theWatch()
{
    static Watch *watch = nullptr; // lives, and stays a sink, until the process ends
    return watch;
}

// The files this process wrote under a report prefix, oldest first.
QStringList filesOf(const QString &prefix, const QString &startStamp)
{
    const QFileInfo prefixInfo(prefix);
    const QDir folder = prefixInfo.dir();
    const QRegularExpression ours(QRegularExpression::escape(prefixInfo.fileName())
                                  + QStringLiteral("(\\d{8}-\\d{6})\\.")
                                  + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('$'));
    QStringList files;
    for (const QString &name : folder.entryList({prefixInfo.fileName() + QLatin1Char('*')}, QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch match = ours.match(name);
        if (match.hasMatch() && match.capturedStart() == 0 && match.captured(1) >= startStamp)
            files << folder.absoluteFilePath(name);
    }
    return files;
}

// Why a report file holds less than was written to it, as far as can be told.
QString reasonFor(const QString &file)
{
    constexpr qint64 kNearlyFull = 1024 * 1024;
    const QStorageInfo storage(QFileInfo(file).absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < kNearlyFull)
        return QStringLiteral("the disk is full");
#ifndef Q_OS_WIN
    constexpr qint64 kOneRecord = 32 * 1024;
    struct rlimit limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
        && QFileInfo(file).size() + kOneRecord >= qint64(limit.rlim_cur))
        return QStringLiteral("the largest file this process may write was reached");
#endif
    return QStringLiteral("writing to it failed");
}

// A line for the report when its files hold less than was sent to it.
QString problemOf(const QString &prefix, const Tally &sent, const QString &startStamp)
{
    const QStringList files = filesOf(prefix, startStamp);
    const QString prefixPath = QDir::cleanPath(QDir::current().absoluteFilePath(prefix));
    if (files.isEmpty())
        return QStringLiteral("The report %1 could not be written: its file could not be created, so none of its "
                              "records (%2) was kept.")
            .arg(QDir::toNativeSeparators(prefixPath + QLatin1Char('*')), QString::number(sent.records));
    Tally found;
    for (const QString &file : files) {
        QFile report(file);
        if (report.open(QIODevice::ReadOnly))
            found.add(reportrecords::parse(report.readAll()));
    }
    if (found.covers(sent))
        return QString();
    return QStringLiteral("The report %1 could not be written in full (%2): it holds %3 of the %4 records written "
                          "to it.")
        .arg(QDir::toNativeSeparators(files.last()), reasonFor(files.last()), QString::number(found.records),
             QString::number(sent.records));
}

} // namespace

void watch()
{
    if (theWatch())
        return;
    theWatch() = new Watch; // never deleted: the library keeps the sink to the end
    theWatch()->startStamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    google::AddLogSink(&theWatch()->sink);
}

QStringList newlyUnwritten()
{
    Watch *watch = theWatch();
    if (!watch)
        return {};
    google::FlushLogFiles(google::GLOG_INFO);
    QStringList lines;
    const QMap<QString, Tally> sent = watch->sink.sent();
    for (auto report = sent.cbegin(); report != sent.cend(); ++report) {
        if (watch->told.contains(report.key()))
            continue;
        const QString problem = problemOf(report.key(), report.value(), watch->startStamp);
        if (problem.isEmpty())
            continue;
        watch->told.insert(report.key());
        lines << problem;
    }
    return lines;
}

} // namespace reportwrites
