#pragma once
// The reports findings are drawn from: the newest report of each kind in a
// report folder or an archive, each cut down to the records of its last
// run that the findings read (a report holds every run of one process
// while its prefix stays current), and the reports that could not be read.
// Pure: callers hand in the files' names and contents.

#include "records/records.h"
#include "reports/reportrecords.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

namespace findings {

enum class ReportKind { Hardware, SoftwareConfliction, NetworkSpeedTest, NetworkServer, NetworkConfig, Zip };

// The kind of report a file name ("SupportLog_HardWare_20240501-101500.4242")
// names; nothing for any other name.
std::optional<ReportKind> kindOfName(const QString &fileName);

struct Report
{
    QString name;            // the file name, without folder
    QString lastStamp;       // the time stamp of its last record
    QString runStamp;        // the time stamp of the record that opens its last run; empty when none does
    QString stampBeforeRun;  // the time stamp of the record before that run, if any
    // The records of the last run that the findings read (see
    // reportreader.h): of most lines the last one, and only when the
    // commands it was cut from answered; of the server requests and the
    // zip step's copies each one once.
    QVector<reportrecords::Record> records;

    // The record kept of file:line, or nullptr.
    const reportrecords::Record *last(int line, const char *file = records::kInspection) const;
};

// A file named like a report that cannot be read, and why.
struct Unread
{
    QString name;
    QString why;
};
// The reports not understood that are named one by one; the rest are
// counted.
inline constexpr int kMaxUnreadListed = 20;

struct ReportSet
{
    std::optional<Report> hardware;
    std::optional<Report> software;
    std::optional<Report> speedTest;
    std::optional<Report> server;
    std::optional<Report> config;
    std::optional<Report> zip;
    // The installation folder the reports were written in, "/" separators;
    // empty when not known.
    QString installationFolder;
    // Files named like a report that could not be read, in the order met,
    // at most kMaxUnreadListed; moreUnread counts the others.
    QVector<Unread> unread;
    int moreUnread = 0;

    bool holdsNoReport() const { return !hardware && !software && !speedTest && !server && !config && !zip; }
};

// Collects the newest report of each kind from reports read one by one, so
// that a caller reading many never holds more than one per kind, and that
// only cut down to what the findings read. Newest is the one whose last
// record is latest (a process appends each run to the report it opened),
// then the latest name.
class NewestReports
{
public:
    // Reads content as the report fileName names (nothing for any other
    // name).
    void offer(const QString &fileName, const QByteArray &content);
    // A report read already (ReportReader).
    void offer(ReportKind kind, Report report);
    // A file named like a report that could not be read.
    void offerUnread(const QString &fileName, const QString &why);

    // The kept reports. installationFolder, when empty, is taken from the
    // zip report's copy record.
    ReportSet reportSet(const QString &installationFolder = QString()) const;
    // True when no report could be read.
    bool isEmpty() const;
    // True when not even a file named like a report was offered.
    bool sawNoReport() const { return isEmpty() && m_unread.isEmpty(); }
    const QVector<Unread> &unread() const { return m_unread; }

private:
    std::optional<Report> m_kept[6];
    QVector<Unread> m_unread;
    int m_moreUnread = 0;
};

} // namespace findings
