#pragma once
// The findings written out: the short block the pane shows after the
// combined actions, and the plain-text layout of the findings file (which
// the headless runner also prints for its findings action and --read).

#include "findings/findings.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace findings {

struct ReportSet;

// "Findings: 2", then "[critical] code: title" per finding; "No problems
// found" in place of the lines when there are none.
QString paneBlock(const QVector<Finding> &found);

// The findings file:
//   Tessaly Render Support Tool findings: 2
//   Reports read: NAME, NAME, ...
//   (empty line)
//   [critical] firewall-blocks-tessaly
//   Title: ...
//   Evidence: REPORT FILE:LINE: VALUE
//   Advice: ...
//   (empty line between findings)
// with "No problems found" after the two first lines when there are none.
QString fileText(const QVector<Finding> &found, const ReportSet &reports);

// The names of the inspection reports the rules read, in the order of the
// report kinds.
QStringList inspectionReportNames(const ReportSet &reports);

} // namespace findings
