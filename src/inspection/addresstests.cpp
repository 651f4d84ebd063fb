#include "inspection/displaysystemrelatedinfo.h"

#include "inspection/windowscommands.h"
#include "installation/pingtargets.h"

#include <QFile>

#include <algorithm>
#include <climits>

namespace {

// The loops run one tool after the other for every target, so a fixed limit
// would either cut a long list short or wait forever on a hung tool. The
// allowance per target covers the tools' own worst case: four unanswered
// echo requests, or thirty silent hops of three probes each plus the name
// look-ups of the hops.
constexpr qint64 kLoopBaseMs = 60 * 1000;
constexpr qint64 kPingPerTargetMs = 60 * 1000;
constexpr qint64 kRoutePerTargetMs = 10 * 60 * 1000;

int loopTimeLimitMs(qint64 perTargetMs)
{
    QFile list(pingtargets::listFileName());
    const int targets =
        list.open(QIODevice::ReadOnly) ? pingtargets::targetsOf(QString::fromLocal8Bit(list.readAll())).size() : 0;
    return int(std::min<qint64>(kLoopBaseMs + targets * perTargetMs, INT_MAX));
}

} // namespace

void displaysystemrelatedinfo::runPing(QString &output)
{
    output = runCommand(windowscommands::pingLoop(), windowscommands::commandShell(), loopTimeLimitMs(kPingPerTargetMs));
}

void displaysystemrelatedinfo::runTracert(QString &output)
{
    output = runCommand(windowscommands::routeLoop(), windowscommands::commandShell(), loopTimeLimitMs(kRoutePerTargetMs));
}
