#include "shareable/shareableoutcome.h"

#include <QDir>

namespace shareablecopy {

QString paneText(const Outcome &outcome, const QString &copyPath, const QString &mapPath)
{
    if (outcome.status != Outcome::Status::Written)
        return failureText(outcome.problem);
    return QStringLiteral("Shareable copy without personal data: %1 (%2 text files cleaned, %3 other files left out). "
                          "The real values behind its stand-ins are listed in %4, which stays on this computer.")
        .arg(QDir::toNativeSeparators(copyPath))
        .arg(outcome.textEntries)
        .arg(outcome.leftOut.size())
        .arg(QDir::toNativeSeparators(mapPath));
}

QString failureText(const QString &problem)
{
    return QStringLiteral("The shareable copy could not be written: %1.").arg(problem);
}

QString notMadeText()
{
    return QStringLiteral("No shareable copy was made: zziplog.zip does not hold the logs of this run.");
}

} // namespace shareablecopy
