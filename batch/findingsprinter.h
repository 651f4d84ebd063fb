#pragma once
// Printing findings on the runner's standard output: the findings file's
// layout as plain text, or with --json one object per finding and line:
// {"finding":CODE,"severity":...,"title":...,"evidence":...,"advice":...}

#include "findings/findings.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdio>

namespace findings {
struct ReportSet;
}

namespace findingsprinter {

// One JSON line per finding, each ended by a line feed.
QByteArray jsonLines(const QVector<findings::Finding> &found);

void print(std::FILE *out, bool json, const QVector<findings::Finding> &found, const findings::ReportSet &reports);

// --read: the findings of the archive or folder at path. False, with the
// reason, when nothing readable there holds a report.
bool printFindingsAt(std::FILE *out, bool json, const QString &path, QString *problem);
// The findings action: the findings of the installation's newest reports
// (the installation folder is current). False, with the reason, when
// there is no report.
bool printInstallationFindings(std::FILE *out, bool json, QString *problem);

} // namespace findingsprinter
