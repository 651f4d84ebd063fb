#pragma once
// Findings: what the reports say is wrong, named by a stable code, with the
// record that shows it and one line of advice. The rules that make them
// stand together in findingtable.cpp.

#include "reports/reportset.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace findings {

enum class Severity { Critical, Warning, Info };
// "critical", "warning", "info".
QString severityName(Severity severity);

struct Evidence
{
    QString report; // the report file's name
    QString place;  // the record's "file:line"
    QString value;  // what the rule read there, as written, on one line
};
// "SupportLog_HardWare_20240501-101500.4242 displaysystemrelatedinfo.cpp:143: TotalMemorySize : 7,6"
QString evidenceText(const Evidence &evidence);

struct Finding
{
    QString code;
    Severity severity = Severity::Info;
    QString title;
    Evidence evidence;
    QString advice;
};

// The longest text a title's placeholder or an evidence's value is given;
// longer ones are cut with "…", so that no report makes a finding huge.
inline constexpr int kMaxFieldChars = 200;
inline constexpr int kMaxEvidenceChars = 300;
// text, cut to at most limit characters with "…" at the end.
QString capped(const QString &text, int limit);

// Every rule over the reports: one finding per rule and subject (a volume,
// a firewall rule, a URL, a ping target), most severe first, in the
// table's order within one severity.
QVector<Finding> evaluate(const ReportSet &reports);

// What the findings say of a set of reports: the findings, the reports the
// rules read and the reports that could not be read.
struct Review
{
    QVector<Finding> found;
    QStringList reportsRead; // the inspection reports, in the order of their kinds
    QVector<Unread> unread;
    int moreUnread = 0;
};
Review review(const ReportSet &reports);

} // namespace findings
