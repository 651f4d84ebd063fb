#pragma once
// Findings: what the reports say is wrong, named by a stable code, with the
// record that shows it and one line of advice. The rules that make them
// stand together in findingtable.cpp.

#include <QString>
#include <QVector>

namespace findings {

struct ReportSet;

enum class Severity { Critical, Warning, Info };
// "critical", "warning", "info".
QString severityName(Severity severity);

struct Evidence
{
    QString report; // the report file's name
    QString place;  // the record's "file:line"
    QString value;  // what the rule read there, on one line
};
// "SupportLog_HardWare_20240501-101500.4242 displaysystemrelatedinfo.cpp:143: TotalMemorySize : 7.6"
QString evidenceText(const Evidence &evidence);

struct Finding
{
    QString code;
    Severity severity = Severity::Info;
    QString title;
    Evidence evidence;
    QString advice;
};

// Every rule over the reports; most severe first, in the table's order
// within one severity.
QVector<Finding> evaluate(const ReportSet &reports);

} // namespace findings
