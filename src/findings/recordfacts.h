#pragma once
// Reading single facts out of report records for the findings' rules:
// finding a record, taking a labelled number or a PowerShell list apart.
// A fact that is not there or does not read as expected is nothing: rules
// never guess. Whether a record's commands answered is settled before any
// rule sees it (reportreader.h).

#include "findings/findings.h"
#include "reports/reportrecords.h"
#include "reports/reportset.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace findings::facts {

// The record at line (of file) kept of report, or nullptr.
const reportrecords::Record *record(const std::optional<Report> &report, int line,
                                    const char *file = records::kInspection);

// A number as PowerShell prints one: digits, a decimal point or comma.
std::optional<double> number(const QString &text);
// The number after label and a colon on one line of text ("TotalMemorySize
// : 15,5"), with that line as written; nothing when the label is missing or
// no number follows it.
struct LabelledNumber
{
    double value = 0;
    QString line;
};
std::optional<LabelledNumber> labelledNumber(const QString &text, const QString &label);
// The number written short: "8", "7.5".
QString shortNumber(double value);

// The objects of a Format-List listing: blocks of "Name : value" lines,
// separated by empty lines. Lines without a colon (wrapped values) are
// left out.
QVector<QMap<QString, QString>> formatListBlocks(const QString &text);
// "Name : value, Name : value" of the labels a block holds, as written.
QString quoted(const QMap<QString, QString> &block, const QStringList &labels);

// Names once each, in the order first met, the first ten joined by ", " and
// the number of the others after them: "avp, GamePP and 3 more".
QString nameList(const QStringList &names);

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
