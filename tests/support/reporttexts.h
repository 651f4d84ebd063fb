#pragma once
// The check texts the pane should show, read back out of the records of a
// report: a check writes its text framed by a heading and a closing, and
// hands the same text to the pane. Texts a report gives only loosely (a
// "There is no" record stands for any short text; a record without closing
// may have lost one final line feed to the logging library) become parts
// of a TextPattern.

#include "testsupport.h"
#include "textpattern.h"

#include <QStringList>

#include <optional>

namespace testsupport {

// The first record of the inspection object at line, if there is one.
std::optional<Record> inspectionRecord(const QList<Record> &report, int line);
// The text between heading and closing of the inspection record at line;
// nothing when the record is missing or not framed so.
std::optional<QString> framedText(const QList<Record> &report, int line, const QString &heading,
                                  const QString &closing);

// The eight texts the hardware action appends, in order; empty when the
// report lacks one of the records that carry them.
QStringList hardwarePaneTexts(const QList<Record> &hardwareReport);
// The text the conflicting-process check appends, from its report.
void expectProcessText(TextPattern &pattern, const QList<Record> &softwareReport);
// The four configuration texts the network action appends, each followed
// by a line feed but the last, from the configuration report.
void expectConfigurationTexts(TextPattern &pattern, const QList<Record> &configurationReport);

} // namespace testsupport
