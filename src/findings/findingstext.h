#pragma once
// The findings written out: the short block the pane shows after the
// combined actions, and the plain-text layout of the findings file (which
// the headless runner also prints for its findings action and --read).
// Both list at most kMaxListedPerCode findings of one code, then one line
// saying how many more there are.

#include "findings/findings.h"

#include <QString>
#include <QVector>

#include <functional>

namespace findings {

inline constexpr int kMaxListedPerCode = 20;

// Goes through the findings as they are listed: listed(finding) for each
// one listed, and after the last one listed of a code that has more,
// more(that finding, how many more).
void forEachListed(const QVector<Finding> &found, const std::function<void(const Finding &)> &listed,
                   const std::function<void(const Finding &, int)> &more);

// "Findings: 2", then "[critical] code: title" per finding and
// "[warning] code: 3 more findings not listed" after the first 20 of a
// code; "No problems found" in place of the lines when there are none;
// last, "Reports not understood: NAME (why), ..." when there are such.
QString paneBlock(const Review &review);

// The findings file:
//   Tessaly Render Support Tool findings: 2
//   Reports read: NAME, NAME, ...
//   Reports not understood: NAME (why), ...   (only when there are such)
//   (empty line)
//   [critical] firewall-blocks-tessaly
//   Title: ...
//   Evidence: REPORT FILE:LINE: VALUE
//   Advice: ...
//   (empty line between findings)
// with "No problems found" after the first lines when there are none.
QString fileText(const Review &review);

// "NAME (why), NAME (why) and 3 more": the reports not understood, or an
// empty text when there are none.
QString unreadText(const Review &review);

} // namespace findings
