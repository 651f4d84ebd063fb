#pragma once
// Report files made up by the tests, written as the logging library writes
// them: its four header lines, then one record per entry with increasing
// time stamps. The records themselves come from the checks' own shaping
// functions where there is one, so a rule is held against what a check
// really writes.

#include "records/records.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace testsupport {

struct FixtureRecord
{
    char level = 'I';
    const char *file = "displaysystemrelatedinfo.cpp";
    int line = 0;
    QString text;
    int second = -1; // when set: this record and the next are stamped at that second past 10:00
};

// The inspection object's records of a shaped check, in order.
QVector<FixtureRecord> inspectionRecords(const QVector<records::CheckRecord> &checkRecords);
// One record of the window's own source file.
FixtureRecord windowRecord(int line, const QString &text, int second = -1);

// A report file's content; the first record is stamped at startSecond past
// 10:00 on 1 May 2024, each next one a microsecond later unless it names
// a second of its own.
QByteArray reportFile(const QVector<FixtureRecord> &records, int startSecond = 0);

// Report file names of each kind, made at the given second past 10:00 by
// the given process.
QString reportName(const QString &kindPrefix, int second = 0, int processId = 4242);

} // namespace testsupport
