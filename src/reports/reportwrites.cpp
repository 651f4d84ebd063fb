#include "reports/reportwrites.h"

#include "records/records.h"
#include "reports/reportrecords.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <QStorageInfo>

#include <ctime>
#include <optional>

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

bool diskFull(const QString &file)
{
    constexpr qint64 kNearlyFull = 1024 * 1024;
    const QStorageInfo storage(QFileInfo(file).absolutePath());
    return storage.isValid() && storage.bytesAvailable() < kNearlyFull;
}

// What was sent to one report: a switch to a new prefix and the records
// until the next, which the library writes to a file it begins with the
// first of them (and to further files of the prefix when it rolls over or
// when it could not begin one at first).
struct Session
{
    QString prefix;
    QString firstStamp; // "yyyyMMdd-HHmmss" of the first record: the name of its first file
    Tally sent;
};

// Sees every record after the library has written it, and tallies it for
// the report current then. The library holds its own lock meanwhile, so
// nothing here may log.
class TallySink : public google::LogSink
{
public:
    void send(google::LogSeverity, const char *, const char *, int, const google::LogMessageTime &time,
              const char *message, size_t length) override
    {
        const records::ReportSession report = records::currentReport();
        if (report.prefix.isEmpty())
            return;
        // The line as the library writes it, under a stand-in prefix.
        QByteArray line("I20000101 00:00:00.000000 1 tally.cpp:1] ");
        line.append(message, int(length));
        line.append('\n');
        Tally tally;
        tally.add(reportrecords::parse(line));
        const QMutexLocker guard(&m_mutex);
        Session &session = m_sessions[report.number];
        if (session.prefix.isEmpty()) {
            const std::tm &tm = time.tm();
            session.prefix = report.prefix;
            session.firstStamp = QString::asprintf("%04d%02d%02d-%02d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                                                   tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
        }
        session.sent.records += tally.records;
        session.sent.textLength += tally.textLength;
    }

    QMap<quint64, Session> sessions() const
    {
        const QMutexLocker guard(&m_mutex);
        return m_sessions;
    }

private:
    mutable QMutex m_mutex;
    QMap<quint64, Session> m_sessions; // by the number of the switch that began them, so in order
};

struct Watch
{
    TallySink sink;
    // Reports said to fall short, and reports found whole after their last
    // record (a later switch ended them): neither is looked at again, so a
    // report the user removes later is not taken for one never written.
    QSet<quint64> settled;
};

Watch *&theWatch()
{
    static Watch *watch = nullptr; // lives, and stays a sink, until the process ends
    return watch;
}

// The stamps of the files this process wrote under a report prefix, oldest first.
QStringList stampsOf(const QString &prefix)
{
    const QFileInfo prefixInfo(prefix);
    const QRegularExpression ours(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(prefixInfo.fileName()) + QStringLiteral("(\\d{8}-\\d{6})\\.")
        + QString::number(QCoreApplication::applicationPid())));
    QStringList stamps;
    for (const QString &name :
         prefixInfo.dir().entryList({prefixInfo.fileName() + QLatin1Char('*')}, QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch match = ours.match(name);
        if (match.hasMatch())
            stamps << match.captured(1);
    }
    return stamps;
}

// The files of each session, by the session's number: a file belongs to the
// last session of its prefix begun in or before its second. (Two sessions
// of a prefix never begin files in the same second: switchReport waits.)
// Files older than every session of their prefix are not this process's.
QMap<quint64, QStringList> filesOf(const QMap<quint64, Session> &sessions)
{
    QMap<quint64, QStringList> files;
    QSet<QString> prefixes;
    for (const Session &session : sessions)
        prefixes.insert(session.prefix);
    for (const QString &prefix : qAsConst(prefixes)) {
        for (const QString &stamp : stampsOf(prefix)) {
            std::optional<quint64> owner;
            for (auto session = sessions.cbegin(); session != sessions.cend(); ++session) {
                if (session->prefix == prefix && session->firstStamp <= stamp)
                    owner = session.key();
            }
            if (owner)
                files[*owner] << records::reportFileName(prefix, stamp);
        }
    }
    return files;
}

// Why a report file holds less than was written to it, as far as can be told.
QString reasonFor(const QString &file)
{
    if (diskFull(file))
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

// Why a report file could not be created, as far as can be told.
QString creationFailure(const QString &file)
{
    const QFileInfo info(file);
    if (info.exists() || info.isSymLink())
        return QStringLiteral("its name is taken by %1").arg(info.isDir() ? QStringLiteral("a folder")
                                                                          : QStringLiteral("something else"));
    if (!info.dir().exists())
        return QStringLiteral("its folder %1 is not there").arg(QDir::toNativeSeparators(info.absolutePath()));
    if (diskFull(file))
        return QStringLiteral("the disk is full");
    return QStringLiteral("its file could not be created");
}

// A line for the session when its files hold less than was sent to it.
QString problemOf(const Session &session, const QStringList &files)
{
    if (files.isEmpty()) {
        const QString file = QDir::cleanPath(
            QDir::current().absoluteFilePath(records::reportFileName(session.prefix, session.firstStamp)));
        return QStringLiteral("The report %1 could not be written (%2), so none of its records (%3) was kept.")
            .arg(QDir::toNativeSeparators(file), creationFailure(file), QString::number(session.sent.records));
    }
    Tally found;
    for (const QString &file : files) {
        QFile report(file);
        if (report.open(QIODevice::ReadOnly))
            found.add(reportrecords::parse(report.readAll()));
    }
    if (found.covers(session.sent))
        return QString();
    const QString last = QDir::cleanPath(QDir::current().absoluteFilePath(files.last()));
    return QStringLiteral("The report %1 could not be written in full (%2): it holds %3 of the %4 records written "
                          "to it.")
        .arg(QDir::toNativeSeparators(last), reasonFor(last), QString::number(found.records),
             QString::number(session.sent.records));
}

} // namespace

void watch()
{
    if (theWatch())
        return;
    theWatch() = new Watch; // never deleted: the library keeps the sink to the end
    google::AddLogSink(&theWatch()->sink);
}

QStringList newlyUnwritten()
{
    Watch *watch = theWatch();
    if (!watch)
        return {};
    google::FlushLogFiles(google::GLOG_INFO);
    QStringList lines;
    const quint64 current = records::currentReport().number;
    const QMap<quint64, Session> sessions = watch->sink.sessions();
    const QMap<quint64, QStringList> files = filesOf(sessions);
    for (auto session = sessions.cbegin(); session != sessions.cend(); ++session) {
        if (watch->settled.contains(session.key()))
            continue;
        const QString problem = problemOf(session.value(), files.value(session.key()));
        if (!problem.isEmpty())
            lines << problem;
        if (!problem.isEmpty() || session.key() != current)
            watch->settled.insert(session.key());
    }
    return lines;
}

} // namespace reportwrites
