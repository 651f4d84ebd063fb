#pragma once
// Printing findings on the runner's standard output: the findings file's
// layout as plain text, or with --json one object per line:
// {"finding":CODE,"severity":...,"title":...,"evidence":...,"advice":...}
// per finding, {"more_findings":N,"code":CODE,"severity":...} after the
// first 20 of a code, {"report_not_understood":NAME,"why":...} per report
// that could not be read and {"more_reports_not_understood":N} after the
// first 20 of those. --read of several sources adds "source" to each.

#include "findings/findings.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace findingsprinter {

// One JSON line per finding and report not understood, each ended by a
// line feed; with a source, each begins with {"source":SOURCE,...}.
QByteArray jsonLines(const findings::Review &review, const QString &source = QString());

void print(std::FILE *out, bool json, const findings::Review &review);

// The findings action: the findings of the installation's newest reports
// (the installation folder is current). False, with the reason, when
// there is no report it can read.
bool printInstallationFindings(std::FILE *out, bool json, QString *problem);

} // namespace findingsprinter
