// The window program's own cost, on an X display of the benchmark's own
// (Xvfb): the time from its start to its window being mapped and its peak
// resident memory, idle after the start and through a whole "Check All and
// Zip At Once" run, side by side with the smallest Qt widgets window; and,
// for comparison, the tool with the toolkit's X11 OpenGL integration forced
// back on, as every start loaded it before.

#include "backgroundprogram.h"
#include "benchmarks.h"
#include "mainwindowlayout.h"
#include "network/serverendpoints.h"
#include "scratchinstallation.h"
#include "serverprocess.h"
#include "virtualdisplay.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace bench {

namespace {

constexpr double kStartRatio = 1.3;
constexpr double kIdleRatio = 1.25;
constexpr double kIdleLimitMb = 40;
constexpr double kRunLimitMb = 50;
constexpr int kMapTimeoutMs = 30000;
// From the map to the idle figure: the first paint and what follows it are
// over by then (the peak stops growing about 100 ms after the map).
constexpr int kSettleMs = 500;
constexpr int kRunStartMs = 20000;
constexpr int kRunTimeoutMs = 5 * 60 * 1000;
constexpr int kCloseTimeoutMs = 20000;
constexpr int kPollMs = 5;
constexpr qint64 kDownloadBytes = 1024 * 1024;

struct Contender
{
    QString label;
    QString program;
    QProcessEnvironment environment;
};

struct RunFigures
{
    Figures ownPeakMb;
    long familyPeakKb = 0;           // wait4: the tool or the largest program it waited for
    QMap<QString, long> startedKb;   // the programs it started, sampled
};

double megabytes(long kb) { return kb / 1024.0; }

// Waits, sampling the program's memory meanwhile.
void watchFor(BackgroundProgram &program, int ms)
{
    QElapsedTimer clock;
    clock.start();
    do {
        program.sample();
        QThread::msleep(kPollMs);
    } while (clock.elapsed() < ms);
}

// The end of what the window programs printed, to say why one failed.
QByteArray tailOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().right(2000) : QByteArray();
}

class WindowBench
{
public:
    WindowBench(VirtualDisplay &display, const ScratchInstallation &installation, const QString &outputFile)
        : m_display(display), m_installation(installation), m_outputFile(outputFile)
    {
    }
    QString error() const { return m_error; }

    // One start: milliseconds from the spawn to the map; the idle peak goes
    // to idleMb. The window is then closed the way a window manager closes it.
    double start(const Contender &contender, Figures &idleMb)
    {
        if (!m_error.isEmpty())
            return std::nan("");
        BackgroundProgram program;
        const VirtualDisplay::Mapped mapped = launch(program, contender);
        if (mapped.window == 0)
            return std::nan("");
        watchFor(program, kSettleMs);
        idleMb.values << megabytes(program.ownPeakKb());
        close(program, contender, mapped.window);
        return std::chrono::duration<double, std::milli>(mapped.at - m_launchedAt).count();
    }

    // One whole "Check All and Zip At Once" run, clicked in the window.
    void fullRun(const Contender &contender, RunFigures &figures)
    {
        if (!m_error.isEmpty())
            return;
        m_installation.clearRun();
        BackgroundProgram program;
        const VirtualDisplay::Mapped mapped = launch(program, contender);
        if (mapped.window == 0)
            return;
        watchFor(program, kSettleMs);
        m_display.click(m_display.origin(mapped.window) + kEverythingCentre);
        if (!waitUntil(program, kRunStartMs, [&] { return m_installation.runStarted(); })) {
            m_error = contender.label + QStringLiteral(": the click on \"Check All and Zip At Once\" started nothing");
            return;
        }
        if (!waitUntil(program, kRunTimeoutMs, [&] { return !m_installation.revealEnvironment().isEmpty(); })) {
            m_error = contender.label + QStringLiteral(": the run did not reach the archive's reveal in time");
            return;
        }
        // The shareable copy comes after the reveal, then the findings.
        if (!waitUntil(program, kRunTimeoutMs, [&] { return m_installation.shareableCopyMade(); })) {
            m_error = contender.label + QStringLiteral(": the run did not write its shareable copy in time");
            return;
        }
        watchFor(program, 200); // the action returns to the event loop
        const Ending ending = close(program, contender, mapped.window);
        if (!m_error.isEmpty())
            return;
        if (!QFileInfo::exists(m_installation.folder() + QStringLiteral("/zziplog.zip")))
            m_error = contender.label + QStringLiteral(": the run left no zziplog.zip");
        const QByteArray revealEnvironment = m_installation.revealEnvironment();
        if (!contender.environment.contains(QStringLiteral("QT_XCB_GL_INTEGRATION")) &&
            (revealEnvironment.contains("QT_XCB_GL_INTEGRATION") ||
             revealEnvironment.contains("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION")))
            m_error = contender.label + QStringLiteral(": the programs it starts inherit its OpenGL choice");
        figures.ownPeakMb.values << megabytes(program.ownPeakKb());
        figures.familyPeakKb = std::max(figures.familyPeakKb, ending.maxRssKb);
        for (auto each = program.descendantPeaksKb().cbegin(); each != program.descendantPeaksKb().cend(); ++each) {
            if (each.key() != QFileInfo(m_installation.opener()).fileName()) // ours, not the tool's
                figures.startedKb[each.key()] = std::max(figures.startedKb.value(each.key()), each.value());
        }
    }

private:
    VirtualDisplay::Mapped launch(BackgroundProgram &program, const Contender &contender)
    {
        m_display.discardEvents();
        m_launchedAt = std::chrono::steady_clock::now();
        if (!program.start(contender.program, {}, contender.environment, m_outputFile, &m_error))
            return {};
        const VirtualDisplay::Mapped mapped = m_display.waitForMap(kMapTimeoutMs);
        if (mapped.window == 0)
            m_error = contender.label + QStringLiteral(": no window was mapped within %1 s").arg(kMapTimeoutMs / 1000);
        return mapped;
    }

    Ending close(BackgroundProgram &program, const Contender &contender, std::uint32_t window)
    {
        m_display.requestClose(window);
        const Ending ending = program.finish(kCloseTimeoutMs);
        if (!ending.ended || ending.exitCode != 0)
            m_error = contender.label + QStringLiteral(": closing the window did not end it normally");
        return ending;
    }

    template <typename Condition>
    static bool waitUntil(BackgroundProgram &program, int timeoutMs, Condition condition)
    {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.elapsed() > timeoutMs)
                return false;
            program.sample();
            QThread::msleep(kPollMs);
        }
        return true;
    }

    VirtualDisplay &m_display;
    const ScratchInstallation &m_installation;
    QString m_outputFile;
    QString m_error;
    std::chrono::steady_clock::time_point m_launchedAt;
};

QStringList startedProgramLines(const RunFigures &run)
{
    QStringList parts;
    for (auto each = run.startedKb.cbegin(); each != run.startedKb.cend(); ++each)
        parts << QStringLiteral("%1 %2 MB").arg(each.key()).arg(megabytes(each.value()), 0, 'f', 1);
    return {QStringLiteral("the programs it started, each at its highest (sampled every %1 ms, so a lower bound): %2")
                .arg(kPollMs)
                .arg(parts.join(QStringLiteral(", "))),
            QStringLiteral("the largest single peak of the tool and what it waited for (wait4): %1 MB")
                .arg(megabytes(run.familyPeakKb), 0, 'f', 1)};
}

} // namespace

bool windowCost(Report &report, const Settings &settings)
{
    const QString outputFile = settings.workFolder + QStringLiteral("/window-output.txt");
    VirtualDisplay display;
    QString error;
    const QString serverLog = settings.workFolder + QStringLiteral("/xvfb.txt");
    if (!display.start(serverLog, &error)) {
        QTextStream(stderr) << error << Qt::endl << tailOf(serverLog);
        return false;
    }
    // The six endpoints: the HTTPS ones on a TLS server, the others on a plain one.
    const ServerProcess plain(settings.selfProgram, kDownloadBytes, false);
    const ServerProcess tls(settings.selfProgram, kDownloadBytes, true);
    QStringList hosts;
    for (const serverendpoints::Endpoint &endpoint : serverendpoints::all())
        hosts << (endpoint.scheme == QLatin1String("https") ? tls : plain).hostAndPort();
    ScratchInstallation installation;
    if (plain.hostAndPort().isEmpty() || tls.hostAndPort().isEmpty() || !installation.prepare(settings.workFolder + QStringLiteral("/window"), settings.toolProgram, settings.standInFolder, hosts, &error)) {
        QTextStream(stderr) << plain.error() << tls.error() << error << Qt::endl;
        return false;
    }

    const QProcessEnvironment environment = installation.environment(display.name());
    QProcessEnvironment glOn = environment;
    glOn.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("xcb_glx"));
    QProcessEnvironment floor = environment;
    floor.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    const Contender tool{QStringLiteral("SupportTool"), installation.program(), environment};
    const Contender minimal{QStringLiteral("minimal window"), settings.minimalWindow, floor};
    const Contender before{QStringLiteral("SupportTool with QT_XCB_GL_INTEGRATION=xcb_glx, as before"),
                           installation.program(), glOn};

    WindowBench bench(display, installation, outputFile);
    const int rounds = settings.quick ? 3 : 20;
    QVector<Figures> idle(3);
    const QVector<Figures> mapped =
        alternate(rounds, 2,
                  {[&] { return bench.start(tool, idle[0]); }, [&] { return bench.start(minimal, idle[1]); },
                   [&] { return bench.start(before, idle[2]); }});
    for (Figures &each : idle)
        each.values = each.values.mid(each.values.size() - rounds); // the warm-ups' out

    RunFigures toolRun;
    RunFigures beforeRun;
    for (int round = 0; round < (settings.quick ? 1 : 3); ++round) {
        bench.fullRun(tool, toolRun);
        bench.fullRun(before, beforeRun);
    }
    if (!bench.error().isEmpty()) {
        QTextStream(stderr) << bench.error() << Qt::endl << "Their output ended with:" << Qt::endl << tailOf(outputFile);
        return false;
    }

    const Side toolMapped{tool.label, mapped.at(0)};
    const Side minimalMapped{minimal.label + QStringLiteral(" (QT_XCB_GL_INTEGRATION=none)"), mapped.at(1)};
    report.ratio(QStringLiteral("start to window mapped"), toolMapped, minimalMapped, QStringLiteral("ms"), kStartRatio);
    report.note(figuresLine({before.label, mapped.at(2)}, QStringLiteral("ms")).trimmed());

    const Side toolIdle{tool.label, idle.at(0)};
    report.ratio(QStringLiteral("peak memory idle after the start"), toolIdle,
                 {minimalMapped.label, idle.at(1)}, QStringLiteral("MB"), kIdleRatio);
    report.note(figuresLine({before.label, idle.at(2)}, QStringLiteral("MB")).trimmed());
    report.limit(QStringLiteral("SupportTool peak memory idle"), idle.at(0).maximum(), kIdleLimitMb, QStringLiteral("MB"),
                 {QStringLiteral("its own VmHWM %1 ms after the map, highest of %2 starts").arg(kSettleMs).arg(rounds)});

    QStringList details{QStringLiteral("its own VmHWM, highest of %1 runs (median %2 MB); clicked in the window, "
                                       "127.0.0.1 pinged and traced, six requests to local servers, logs zipped")
                            .arg(toolRun.ownPeakMb.values.size())
                            .arg(toolRun.ownPeakMb.median(), 0, 'f', 1)};
    details << startedProgramLines(toolRun);
    details << QStringLiteral("as before (QT_XCB_GL_INTEGRATION=xcb_glx): highest %1 MB, median %2 MB")
                   .arg(beforeRun.ownPeakMb.maximum(), 0, 'f', 1)
                   .arg(beforeRun.ownPeakMb.median(), 0, 'f', 1);
    report.limit(QStringLiteral("SupportTool peak memory through \"Check All and Zip At Once\""),
                 toolRun.ownPeakMb.maximum(), kRunLimitMb, QStringLiteral("MB"), details);
    return true;
}

} // namespace bench
