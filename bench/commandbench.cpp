// runCommand's round trip (QProcess, nested event loop, the standard-error
// record) against a bare posix_spawn of the same small program.

#include "barespawn.h"
#include "benchmarks.h"
#include "inspection/displaysystemrelatedinfo.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace bench {

bool commandRoundTrip(Report &report, const Settings &settings)
{
    const Spawned probe = spawnAndWait(settings.smallChild, {});
    if (!probe.started || probe.exitCode != 0) {
        QTextStream(stderr) << "The small program " << settings.smallChild << " does not run: " << probe.error
                            << Qt::endl;
        return false;
    }

    displaysystemrelatedinfo *info = displaysystemrelatedinfo::instance();
    int shortAnswers = 0;
    const int rounds = settings.quick ? 30 : 300;
    const SideBySide times = alternate(
        rounds, 10,
        [&] {
            QElapsedTimer clock;
            clock.start();
            const QString output = info->runCommand({}, settings.smallChild);
            const double ms = clock.nsecsElapsed() / 1e6;
            if (output.size() != probe.output.size())
                ++shortAnswers;
            return ms;
        },
        [&] { return spawnAndWait(settings.smallChild, {}).wallMs; });

    report.ratio(QStringLiteral("runCommand round trip"), {QStringLiteral("runCommand"), times.first},
                 {QStringLiteral("bare spawn"), times.second}, QStringLiteral("ms"), 1.3);
    report.note(QStringLiteral("program: %1, %2 bytes of output, read whole on both sides")
                    .arg(settings.smallChild)
                    .arg(probe.output.size()));
    if (shortAnswers > 0) {
        QTextStream(stderr) << "runCommand returned a short answer " << shortAnswers << " times" << Qt::endl;
        return false;
    }
    return true;
}

} // namespace bench
