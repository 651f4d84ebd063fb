#pragma once
// Reading one report, piece by piece, into what the findings read of it:
// the records of its last run that a rule reads, each kept only when the
// commands it was cut from answered. A record written after its command
// could not start, timed out, crashed, was stopped or wrote too much shows
// what cutting an empty or partial answer gives, not a fact, so no rule
// ever sees it. What the reader holds is bounded by the records it keeps,
// however large the report.

#include "reports/reportrecords.h"
#include "reports/reportset.h"

#include <QPair>
#include <QSet>
#include <QString>
#include <QVector>

#include <optional>

namespace findings {

// The most requests (and zip copies) the last run of a report may hold, and
// the most text they may hold together: the tool makes six requests and two
// copies a run, each a line, and a run holding more than this was not
// written by it.
inline constexpr int kMaxRunEntries = 1000;
inline constexpr int kMaxRunEntryChars = 256 * 1024;

class ReportReader
{
public:
    ReportReader(ReportKind kind, const QString &name);

    void add(const char *data, qint64 size);
    // The end of the report: hands reports the report read, or, when it
    // cannot be read, why (it holds no record, or one longer than the tool
    // writes, or a run the tool never makes).
    void finishInto(NewestReports *reports);

private:
    void take(const reportrecords::Record &record);
    void startRun(const reportrecords::Record &opening);
    bool commandsAnswered(int commands) const;
    void keep(const reportrecords::Record &record, bool answered, bool every);

    ReportKind m_kind;
    Report m_report;
    reportrecords::RecordReader m_records;
    bool m_sawBytes = false;
    bool m_sawRecord = false;
    bool m_inRun = false;
    bool m_afterServerRun = false; // the last record closed a server run
    QString m_previousStamp;
    // Whether each command since the last record that closed a check
    // answered, the latest last (only the latest few are needed).
    QVector<bool> m_commands;
    bool m_commandCutShort = false; // the last record was a warning that its command was cut short
    QSet<QPair<int, QString>> m_entries; // the requests and copies kept, by line and text
    qint64 m_entryChars = 0;
    bool m_tooManyEntries = false;
};

} // namespace findings
