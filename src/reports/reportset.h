#pragma once
// The reports findings are drawn from: the newest report of each kind in a
// report folder or an archive, each cut down to the records of its last
// run (a report holds every run of one process while its prefix stays
// current). Pure: callers hand in the files' names and contents.

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
    QString name;                            // the file name, without folder
    QVector<reportrecords::Record> run;      // the records of its last run
    QString stampBeforeRun;                  // the time stamp of the record before that run, if any
};

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

    bool holdsNoReport() const { return !hardware && !software && !speedTest && !server && !config && !zip; }
};

// Collects the newest report of each kind from files offered one by one,
// so that a caller reading many never holds more than one per kind.
// Newest is the one whose last record is latest (a process appends each
// run to the report it opened), then the latest name.
class NewestReports
{
public:
    // Keeps content when fileName names a report newer than the one kept.
    void offer(const QString &fileName, const QByteArray &content);
    // The kept reports, cut to their last runs. installationFolder, when
    // empty, is taken from the zip report's copy record.
    ReportSet reportSet(const QString &installationFolder = QString()) const;
    bool isEmpty() const;

private:
    struct Kept
    {
        QString name;
        QString lastStamp;
        QByteArray content;
    };
    std::optional<Kept> m_kept[6];
};

} // namespace findings
