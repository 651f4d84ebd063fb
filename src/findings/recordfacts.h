#pragma once
// Reading single facts out of report records for the findings' rules:
// finding a record, telling whether its command answered, taking a
// labelled number or a PowerShell list apart. A fact that is not there or
// does not read as expected is nothing: rules never guess.

#include "findings/findings.h"
#include "reports/reportrecords.h"
#include "reports/reportset.h"

#include <QMap>
#include <QString>
#include <QVector>

#include <optional>

namespace findings::facts {

using Records = QVector<reportrecords::Record>;

// The index of the last record of the inspection object at line (or of
// file:line), -1 when there is none.
int lastIndex(const Records &run, int line, const char *file = "displaysystemrelatedinfo.cpp");

// False when the command behind the record at index did not answer: a
// runner warning that it could not start, timed out, was stopped or wrote
// too much (or that the Direct3D 12 probe failed) stands between the
// previous closed check record and this one. Such a record shows what
// cutting an empty answer gives, not a fact.
bool answered(const Records &run, int index);

// A number as PowerShell prints one: digits, a decimal point or comma.
std::optional<double> number(const QString &text);
// The number after label and a colon on one line of text ("TotalMemorySize
// : 15.5"); nothing when the label is missing or no number follows it.
std::optional<double> labelledNumber(const QString &text, const QString &label);
// The number written short: "8", "7.5".
QString shortNumber(double value);

// The objects of a Format-List listing: blocks of "Name : value" lines,
// separated by empty lines. Lines without a colon (wrapped values) are
// left out.
QVector<QMap<QString, QString>> formatListBlocks(const QString &text);

// The text after a check record's heading line, on one line: the value a
// finding shows as its evidence.
QString oneLine(const QString &text);
Evidence evidenceOf(const Report &report, const reportrecords::Record &record, const QString &value);

// A hardware report made on Windows lists drive-letter volumes ("Path:
// C:/") in its logical-volume record; no other system has such roots.
bool fromWindows(const ReportSet &reports);

// One line of the logical-volume record.
struct Volume
{
    QString root;
    qint64 totalGb = 0;
    qint64 availableGb = 0;
    QString line;
};
QVector<Volume> volumes(const QString &recordText);

} // namespace findings::facts
