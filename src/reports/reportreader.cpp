#include "reports/reportreader.h"

#include "records/records.h"

#include <algorithm>

namespace findings {

namespace {

using reportrecords::Record;

// The records a rule reads (and the zip step's copies, which tell the
// installation folder), with the number of commands whose answers each is
// cut from: the last ones run before it since the previous check ended.
struct ReadRecord
{
    const char *file;
    int line;
    int commands;
    bool every; // each one of the run is kept, not only the last
};

const ReadRecord kReadRecords[] = {
    {records::kInspection, 126, 4, false}, // graphics: adapter list, memory, usage, engines or vendor tool
    {records::kInspection, 143, 1, false}, // memory
    {records::kInspection, 162, 1, false}, // page file
    {records::kInspection, 202, 0, false}, // volumes: the system's list, no command
    {records::kInspection, 324, 1, false}, // TDR values
    {records::kInspection, 486, 1, false}, // Direct3D 12, whose probe counts as a command
    {records::kInspection, 489, 1, false},
    {records::kInspection, 499, 1, false},
    {records::kInspection, 468, 1, false}, // conflicting processes
    {records::kInspection, 384, 1, false}, // Tessaly firewall rules
    {records::kInspection, 451, 1, false}, // VPN connections
    {records::kInspection, 528, 0, true},  // zip: "Copying logs from ..."
    {records::kMainWindow, 159, 0, false}, // ping results, ping's own file: a target cut short has no statistics
    {records::kMainWindow, 318, 0, true},  // timed requests: failed and done downloads and API queries
    {records::kMainWindow, 325, 0, true},
    {records::kMainWindow, 347, 0, true},
    {records::kMainWindow, 354, 0, true},
};
constexpr int kMostCommands = 4;

const ReadRecord *readRecordOf(const Record &record)
{
    for (const ReadRecord &read : kReadRecords) {
        if (record.is(read.file, read.line))
            return &read;
    }
    return nullptr;
}

// The record each run of an action opens its report with; the server
// report's runs are closed by one instead (serverRunEnd).
bool opensRun(ReportKind kind, const Record &record)
{
    switch (kind) {
    case ReportKind::Hardware: return record.is(records::kInspection, 76);
    case ReportKind::SoftwareConfliction: return record.is(records::kInspection, 464);
    case ReportKind::NetworkSpeedTest: return record.is(records::kMainWindow, 155);
    case ReportKind::NetworkServer: return false;
    case ReportKind::NetworkConfig: return record.is(records::kInspection, 366);
    case ReportKind::Zip: return record.is(records::kInspection, 576);
    }
    return false;
}
bool serverRunEnd(const Record &record) { return record.is(records::kMainWindow, 364); }

// The runner's warnings of a command that did not run to its end: it could
// not start (41), crashed (42), timed out (43), was stopped (44) or wrote
// too much (45). Its last record (46) follows them.
bool cutsCommandShort(const Record &record) { return record.line >= 41 && record.line <= 45; }
bool endsCommand(const Record &record) { return record.line == 46; }
// The Direct3D 12 probe's warning that it gave no answer.
bool probeFailed(const Record &record) { return record.line == 481; }

// Check records end with a row of hyphens; the next check begins after it.
bool closesCheck(const Record &record)
{
    return record.level == QLatin1Char('I') && record.text.endsWith(QLatin1String("----------"));
}

} // namespace

ReportReader::ReportReader(ReportKind kind, const QString &name)
    : m_kind(kind), m_records([this](const Record &record) { take(record); })
{
    m_report.name = name;
    // A server report's first run begins with its first record.
    m_inRun = kind == ReportKind::NetworkServer;
}

void ReportReader::add(const char *data, qint64 size)
{
    m_sawBytes = m_sawBytes || size > 0;
    m_records.add(data, size);
}

void ReportReader::take(const Record &record)
{
    m_sawRecord = true;
    m_report.lastStamp = record.stamp;
    // A command counts from its first record on: a warning that it was cut
    // short counts even when its last record is missing.
    const bool runner = record.level == QLatin1Char('W') && record.file == QLatin1String(records::kInspection);
    const bool cutShort = runner && cutsCommandShort(record);
    if (runner && (cutShort || probeFailed(record) || (endsCommand(record) && !m_commandCutShort))) {
        m_commands.append(endsCommand(record));
        if (m_commands.size() > kMostCommands)
            m_commands.removeFirst();
    }
    m_commandCutShort = cutShort;
    if (m_afterServerRun || opensRun(m_kind, record))
        startRun(record);
    if (const ReadRecord *read = readRecordOf(record); read && m_inRun)
        keep(record, commandsAnswered(read->commands), read->every);
    if (closesCheck(record))
        m_commands.clear();
    m_afterServerRun = m_kind == ReportKind::NetworkServer && serverRunEnd(record);
    m_previousStamp = record.stamp;
}

void ReportReader::startRun(const Record &opening)
{
    m_inRun = true;
    m_report.runStamp = opening.stamp;
    m_report.stampBeforeRun = m_previousStamp;
    m_report.records.clear();
    m_entries.clear();
    m_entryChars = 0;
    m_tooManyEntries = false;
}

bool ReportReader::commandsAnswered(int commands) const
{
    const int from = qMax(0, m_commands.size() - commands);
    return std::all_of(m_commands.cbegin() + from, m_commands.cend(), [](bool answered) { return answered; });
}

void ReportReader::keep(const Record &record, bool answered, bool every)
{
    QVector<Record> &kept = m_report.records;
    if (every) {
        // Each request (or copy) once: a run repeating one says no more.
        const QPair<int, QString> key(record.line, record.text); // sharing the record's text
        if (m_tooManyEntries || m_entries.contains(key))
            return;
        m_entryChars += record.text.size();
        if (m_entries.size() >= kMaxRunEntries || m_entryChars > kMaxRunEntryChars) {
            m_tooManyEntries = true;
            kept.clear(); // not read: nothing need be held
            m_entries.clear();
            return;
        }
        m_entries.insert(key);
        kept.append(record);
        return;
    }
    // Only the last of its line counts, and not at all when its command
    // did not answer.
    kept.erase(std::remove_if(kept.begin(), kept.end(),
                              [&record](const Record &other) { return other.line == record.line && other.file == record.file; }),
               kept.end());
    if (answered)
        kept.append(record);
}

void ReportReader::finishInto(NewestReports *reports)
{
    m_records.finish();
    QString why;
    if (m_records.tooLong())
        why = QStringLiteral("it holds a record of more than %1 bytes, longer than any the tool writes")
                  .arg(reportrecords::kMaxRecordBytes);
    else if (!m_sawBytes)
        why = QStringLiteral("it is empty");
    else if (!m_sawRecord)
        why = m_records.utf16() ? QStringLiteral("it holds no record of the tool")
                                : QStringLiteral("it holds no record of the tool: it is damaged, or neither UTF-8 "
                                                 "nor UTF-16 with a byte-order mark");
    else if (m_tooManyEntries)
        why = QStringLiteral("its last run lists more requests or copies than the tool ever makes (over %1, or "
                             "over %2 characters of them)")
                  .arg(kMaxRunEntries)
                  .arg(kMaxRunEntryChars);
    if (why.isEmpty())
        reports->offer(m_kind, std::move(m_report));
    else
        reports->offerUnread(m_report.name, why);
}

} // namespace findings
