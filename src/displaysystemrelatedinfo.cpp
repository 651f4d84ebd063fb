#include "displaysystemrelatedinfo.h"

#include "cancellation.h"
#include "records.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

displaysystemrelatedinfo::displaysystemrelatedinfo() : QObject(nullptr) {}

displaysystemrelatedinfo *displaysystemrelatedinfo::instance()
{
    // Created once, never deleted: it lives until the process ends.
    static displaysystemrelatedinfo *const shared = new displaysystemrelatedinfo();
    return shared;
}

namespace {

// Sets program and arguments. On Windows a quoted command line goes to the
// system unchanged as the start of the command line; elsewhere it has to be
// split into the executable and its options here.
void setCommand(QProcess &process, const QStringList &arguments, const QString &program)
{
#ifndef Q_OS_WIN
    if (arguments.isEmpty() && program.startsWith(QLatin1Char('"'))) {
        QStringList parts = QProcess::splitCommand(program);
        if (!parts.isEmpty()) {
            process.setProgram(parts.takeFirst());
            process.setArguments(parts);
            return;
        }
    }
#endif
    process.setProgram(program);
    process.setArguments(arguments);
}

} // namespace

QString displaysystemrelatedinfo::runCommand(QStringList arguments, QString program, int timeoutMs)
{
    QProcess process;
    setCommand(process, arguments, program);

    QEventLoop loop;
    bool failedToStart = false;
    bool timedOut = false;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            failedToStart = true;
            loop.quit();
        }
    });
    connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        process.kill();
        loop.quit();
    });

    bool cancelled = false;
    const cancellation::Hook hook([&] {
        cancelled = true;
        process.kill();
        loop.quit();
    });

    if (!cancellation::requested())
        process.start(QIODevice::ReadWrite);
    if (cancellation::requested()) {
        cancelled = true;
    } else if (!failedToStart && process.state() != QProcess::NotRunning) {
        limit.start(timeoutMs);
        loop.exec(QEventLoop::AllEvents);
        if (!timedOut && !cancelled && !failedToStart && process.state() != QProcess::NotRunning) {
            // The loop ended with the child still running: the application is
            // quitting (log-off, say), and every later wait would return at
            // once. Treat it as a cancellation so no check records a finding
            // from output it never received.
            cancellation::request();
        }
    } else if (process.error() == QProcess::FailedToStart) {
        failedToStart = true;
    }
    limit.stop();
    if ((timedOut || cancelled) && process.state() != QProcess::NotRunning)
        process.waitForFinished(5000); // the kill lands at once; collect what it wrote

    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());

    if (cancelled) {
        records::warning(records::kInspection, 44,
                         QStringLiteral("Command \"%1\" was stopped because the window was closed").arg(process.program()));
    } else if (failedToStart) {
        records::warning(records::kInspection, 41,
                         QStringLiteral("Could not start \"%1\": %2").arg(process.program(), process.errorString()));
    } else if (timedOut) {
        records::warning(records::kInspection, 43,
                         QStringLiteral("Command \"%1\" timed out after %2 s and was stopped")
                             .arg(process.program())
                             .arg(timeoutMs / 1000.0));
    }
    records::warning(records::kInspection, 46, errors);
    return output;
}
