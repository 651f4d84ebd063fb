#pragma once
// What one packing of the logs came to, all in one: the archiver's run and
// every file or folder of this run's logs that is not in the archive, and
// the closing texts said about it.

#include "archive/archiver.h"

#include <QString>
#include <QStringList>

namespace packing {

struct Outcome
{
    archiver::Result archive;
    // Each file or folder of this run's logs not in the archive, as "path: why":
    // left out of the copy, not listable, or not packed by 7-Zip.
    QStringList leftOut;

    // The archive of this run was written and holds everything.
    bool complete() const { return archive.written() && leftOut.isEmpty(); }
};

// The pane's closing line of the zip step: the success message when the
// archive holds everything, how many were left out when it holds the rest,
// why it was not written otherwise.
QString paneText(const Outcome &outcome);
// The WARNING record that follows the success record when some were left out.
QString leftOutRecordText(const Outcome &outcome);
// The reason the archiver was not started when no log folder could be
// listed: sourcesFound tells whether any log folder existed.
QString nothingToPackReason(bool sourcesFound, const QString &firstSource, const QString &secondSource);

} // namespace packing
