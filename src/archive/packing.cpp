#include "archive/packing.h"

namespace packing {

QString paneText(const Outcome &outcome)
{
    if (!outcome.archive.written())
        return archiver::failurePaneText(outcome.archive);
    const QString where = QStringLiteral("\"zziplog.zip\" under your Tessaly render installation folder");
    if (outcome.leftOut.isEmpty())
        return QStringLiteral("All the logs have been packed and zipped into ") + where;
    const int count = outcome.leftOut.size();
    if (count == 1) {
        return QStringLiteral("1 file or folder could not be packed; the others are in %1. The zip report names it "
                              "and why.")
            .arg(where);
    }
    return QStringLiteral("%1 files or folders could not be packed; the others are in %2. The zip report names each "
                          "one and why.")
        .arg(QString::number(count), where);
}

QString leftOutRecordText(const Outcome &outcome)
{
    return QStringLiteral("Zip incomplete, %1 of the files and folders of this run's logs are not in zziplog.zip")
        .arg(outcome.leftOut.size());
}

QString nothingToPackReason(bool sourcesFound, const QString &firstSource, const QString &secondSource)
{
    if (!sourcesFound)
        return QStringLiteral("no logs were found, neither %1 nor %2 exists").arg(firstSource, secondSource);
    return QStringLiteral("no copy of the log folders could be handed to the archiver");
}

} // namespace packing
