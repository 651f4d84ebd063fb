// The benchmarks of the tool: each prints a ratio measured side by side in
// the same run, or a figure against its limit, with the figures behind it.

#include "app/startup.h"
#include "benchmarks.h"
#include "records/records.h"
#include "serverprocess.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <glog/logging.h>

#include <functional>
#include <map>

namespace {

const char kUsage[] = "Usage: SupportToolBench [--quick] [--strict] [BENCHMARK...]\n"
                      "Benchmarks: command, download, archive, batch, findings, scale, window (all when none is named).\n"
                      "  --quick   fewer rounds and a smaller log tree: a smoke run, not figures to quote\n"
                      "  --strict  exit with 1 when a target is missed (otherwise only errors fail)\n";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("SupportTool")); // where the tool looks for user logs
    QStringList arguments = app.arguments().mid(1);
    if (arguments.size() == 2 && arguments.first() == QLatin1String("--serve-http"))
        return bench::serveHttp(arguments.at(1).toLongLong(), false);
    if (arguments.size() == 2 && arguments.first() == QLatin1String("--serve-https"))
        return bench::serveHttp(arguments.at(1).toLongLong(), true);

    bench::Settings settings;
    bool strict = false;
    settings.selfProgram = QCoreApplication::applicationFilePath();
    settings.smallChild = QStringLiteral(BENCH_SMALL_CHILD);
    settings.batchProgram = QStringLiteral(SUPPORTTOOL_BATCH_BINARY);
    settings.toolProgram = QStringLiteral(SUPPORTTOOL_BINARY);
    settings.standInFolder = QStringLiteral(STANDIN_DIR);
    settings.minimalWindow = QStringLiteral(BENCH_MINIMAL_WINDOW);

    using Benchmark = std::function<bool(bench::Report &, const bench::Settings &)>;
    const std::map<QString, Benchmark> known{{QStringLiteral("command"), bench::commandRoundTrip},
                                             {QStringLiteral("download"), bench::timedDownload},
                                             {QStringLiteral("archive"), bench::logArchive},
                                             {QStringLiteral("batch"), bench::batchActions},
                                             {QStringLiteral("findings"), bench::findingsCost},
                                             {QStringLiteral("scale"), bench::manyArchives},
                                             {QStringLiteral("window"), bench::windowCost}};
    QStringList chosen;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--quick")) {
            settings.quick = true;
        } else if (argument == QLatin1String("--strict")) {
            strict = true;
        } else if (known.count(argument) == 1) {
            chosen << argument;
        } else {
            const bool help = argument == QLatin1String("--help");
            std::fputs(kUsage, help ? stdout : stderr);
            return help ? 0 : 2;
        }
    }
    if (chosen.isEmpty())
        chosen = QStringList{QStringLiteral("command"), QStringLiteral("download"), QStringLiteral("archive"),
                             QStringLiteral("batch"), QStringLiteral("findings"), QStringLiteral("scale"),
                             QStringLiteral("window")};

    // The tool's records go to a scratch report, never into a measured tree.
    QTemporaryDir work;
    settings.workFolder = work.path();
    FLAGS_log_dir = work.path().toStdString();
    google::InitGoogleLogging(argv[0]);
    startup::tuneLogging();
    records::switchReport(work.path() + QStringLiteral("/SupportLog_Bench_"));

    bench::Report report;
    QTextStream out(stdout);
    int errors = 0;
    for (const QString &name : chosen) {
        out << Qt::endl << "== " << name << Qt::endl;
        if (!known.at(name)(report, settings)) {
            out << "ERROR: the " << name << " benchmark could not measure (see above)" << Qt::endl;
            ++errors;
        }
    }
    out << Qt::endl << report.verdicts() - report.misses() << " targets met, " << report.misses() << " missed, "
                        << errors << " benchmarks failed" << Qt::endl;
    if (errors > 0)
        return 1;
    return strict && report.misses() > 0 ? 1 : 0;
}
