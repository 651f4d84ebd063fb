#pragma once
// Compact forms of report records that read well in a failed comparison.

#include "testsupport.h"

#include <QStringList>

namespace testsupport {

// "W displaysystemrelatedinfo.cpp:46" for each record, in order.
QStringList placesOf(const QList<Record> &records);
// A record text as parseRecords gives it back: the logging library ends
// every record with one line feed, so a final line feed of the text merges
// with it.
QString asReadBack(const QString &text);

} // namespace testsupport
