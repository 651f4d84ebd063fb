// Wall time and peak memory of the hardware and software-conflict actions
// run through the headless runner, one action per run, as a support script
// would start them.

#include "barespawn.h"
#include "benchmarks.h"

#include <QDir>
#include <QTextStream>

#include <algorithm>

namespace bench {

namespace {

constexpr double kWallLimitSeconds = 1.5;
constexpr double kMemoryLimitMb = 80;

struct ActionFigures
{
    Figures wallSeconds;
    long ownPeakKb = 0;   // the runner itself
    long familyPeakKb = 0; // the runner or the largest of the programs it ran
};

} // namespace

bool batchActions(Report &report, const Settings &settings)
{
    const QString installation = settings.workFolder + QStringLiteral("/batch-install");
    QDir().mkpath(installation);
    const QStringList actions{QStringLiteral("hardware"), QStringLiteral("software")};
    QVector<ActionFigures> figures(actions.size());

    const int rounds = settings.quick ? 1 : 5;
    bool ok = true;
    for (int round = -1; round < rounds && ok; ++round) { // round -1 warms the caches up
        for (int index = 0; index < actions.size() && ok; ++index) {
            const Spawned run = spawnAndWait(settings.batchProgram,
                                             {QStringLiteral("--install-dir"), installation,
                                              QStringLiteral("--accept-terms"), actions.at(index)},
                                             SpawnOptions{false, true});
            if (run.exitCode != 0) {
                QTextStream(stderr) << settings.batchProgram << " " << actions.at(index) << " failed ("
                                    << (run.started ? QStringLiteral("exit code %1").arg(run.exitCode) : run.error)
                                    << "): " << run.errors.right(2000) << Qt::endl;
                ok = false;
                break;
            }
            if (round < 0)
                continue;
            ActionFigures &action = figures[index];
            action.wallSeconds.values << run.wallMs / 1000.0;
            action.ownPeakKb = std::max(action.ownPeakKb, run.ownPeakKb);
            action.familyPeakKb = std::max(action.familyPeakKb, run.maxRssKb);
        }
    }
    QDir(installation).removeRecursively();
    if (!ok)
        return false;

    for (int index = 0; index < actions.size(); ++index) {
        const ActionFigures &action = figures.at(index);
        const QString name = QStringLiteral("SupportToolBatch %1").arg(actions.at(index));
        report.limit(name + QStringLiteral(" wall time"), action.wallSeconds.median(), kWallLimitSeconds,
                     QStringLiteral("s"),
                     {QStringLiteral("median of %1 runs (min %2 s, max %3 s), start-up to exit")
                          .arg(action.wallSeconds.values.size())
                          .arg(action.wallSeconds.minimum(), 0, 'f', 2)
                          .arg(action.wallSeconds.maximum(), 0, 'f', 2)});
        report.limit(name + QStringLiteral(" peak memory"), action.ownPeakKb / 1024.0, kMemoryLimitMb,
                     QStringLiteral("MB"),
                     {QStringLiteral("the runner's own peak resident set (VmHWM, highest of the runs); with the "
                                     "programs it ran, the largest single peak was %1 MB (wait4)")
                          .arg(action.familyPeakKb / 1024.0, 0, 'f', 1)});
    }
    return true;
}

} // namespace bench
