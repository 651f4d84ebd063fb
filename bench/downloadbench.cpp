// timedRequest of a 20 MB answer against curl fetching the same address,
// both from one local server running in a process of its own, so that
// serving costs the same on both sides and neither client shares a thread
// with the server.

#include "barespawn.h"
#include "benchmarks.h"
#include "network/timedrequest.h"
#include "serverprocess.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTextStream>

#include <cmath>

namespace bench {

namespace {

constexpr qint64 kBodyBytes = 20 * 1024 * 1024;

} // namespace

bool timedDownload(Report &report, const Settings &settings)
{
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (curl.isEmpty()) {
        QTextStream(stderr) << "curl is not installed (scripts/install-deps installs it)" << Qt::endl;
        return false;
    }
    const ServerProcess server(settings.selfProgram, kBodyBytes, false);
    if (server.hostAndPort().isEmpty()) {
        QTextStream(stderr) << server.error() << Qt::endl;
        return false;
    }
    const QString base = QStringLiteral("http://%1/test").arg(server.hostAndPort());
    const QString file = QStringLiteral("response.json");

    Figures reported;
    int failures = 0;
    const auto tool = [&] {
        QElapsedTimer clock;
        clock.start();
        const int ms = timedRequest(base, file);
        const double wall = clock.nsecsElapsed() / 1e6;
        if (ms < 0)
            ++failures;
        reported.values << ms;
        return wall;
    };
    const auto plain = [&] {
        const Spawned run = spawnAndWait(curl, {QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                                QStringLiteral("--noproxy"), QStringLiteral("*"), QStringLiteral("-w"),
                                                QStringLiteral("%{http_code} %{size_download} %{time_total}"),
                                                base + QLatin1Char('/') + file});
        const QList<QByteArray> fields = run.output.split(' ');
        if (run.exitCode != 0 || fields.value(0) != "200" || fields.value(1).toLongLong() != kBodyBytes)
            ++failures;
        return fields.value(2).toDouble() * 1000.0;
    };
    const int rounds = settings.quick ? 5 : 25;
    const SideBySide times = alternate(rounds, 2, tool, plain);
    reported.values = reported.values.mid(reported.values.size() - rounds); // the warm-ups' out

    const Side curlSide{QStringLiteral("curl time_total"), times.second};
    const Side toolSide{QStringLiteral("timedRequest (wall time of the call)"), times.first};
    report.ratio(QStringLiteral("timedRequest of 20 MB"), toolSide, curlSide, QStringLiteral("ms"), 1.2);
    // The figure the report gives claims the time of the request: held
    // against the call's own wall time, not curl's, which measures another
    // client (a tool faster than curl is no fault of its clock).
    const double wall = toolSide.figures.median();
    const double deviation = std::fabs(reported.median() - wall) / wall * 100.0;
    report.limit(QStringLiteral("timedRequest's reported time against the call's own wall time"), deviation, 10.0,
                 QStringLiteral("%"),
                 {QStringLiteral("reported: median %1 ms (min %2, max %3); the call's own wall time: median %4 ms")
                      .arg(reported.median())
                      .arg(reported.minimum())
                      .arg(reported.maximum())
                      .arg(wall, 0, 'f', 1),
                  QStringLiteral("the report stops its clock before the network manager is torn down, and gives "
                                 "whole milliseconds; curl: median %1 ms")
                      .arg(curlSide.figures.median(), 0, 'f', 2),
                  QStringLiteral("body: %1 bytes from a server process on 127.0.0.1 (plain HTTP)").arg(kBodyBytes)});
    if (failures > 0) {
        QTextStream(stderr) << failures << " downloads failed" << Qt::endl;
        return false;
    }
    return true;
}

} // namespace bench
