#include "displaysystemrelatedinfo.h"

#include "childwait.h"
#include "records.h"

#include <QByteArray>
#include <QProcess>

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

bool lastAnswered = true;

// What a child writes on one channel, gathered while it runs so the pipe's
// data never piles up in the process object, up to the output limit.
struct Channel
{
    QByteArray kept;
    bool overflowed = false;

    // Keeps what fits; reports whether the limit was passed just now.
    bool take(const QByteArray &bytes)
    {
        if (overflowed)
            return false;
        const int room = displaysystemrelatedinfo::kOutputLimitBytes - kept.size();
        kept.append(bytes.left(room));
        overflowed = bytes.size() > room;
        return overflowed;
    }
};

} // namespace

int displaysystemrelatedinfo::defaultCommandTimeoutMs()
{
    static const int limit = [] {
        bool ok = false;
        const int fromEnvironment = qEnvironmentVariableIntValue("SUPPORTTOOL_COMMAND_TIMEOUT_MS", &ok);
        return ok && fromEnvironment > 0 ? fromEnvironment : kDefaultCommandTimeoutMs;
    }();
    return limit;
}

bool displaysystemrelatedinfo::lastCommandAnswered() { return lastAnswered; }

QString displaysystemrelatedinfo::runCommand(QStringList arguments, QString program, int timeoutMs)
{
    QProcess process;
    setCommand(process, arguments, program);
    Channel out;
    Channel err;
    // A child that floods a channel is stopped: nothing it writes past the
    // limit could be used, and waiting for it would tie the action up.
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [&] {
        if (out.take(process.readAllStandardOutput()))
            process.kill();
    });
    QObject::connect(&process, &QProcess::readyReadStandardError, &process, [&] {
        if (err.take(process.readAllStandardError()))
            process.kill();
    });
    const childwait::Outcome outcome = childwait::run(process, timeoutMs);
    out.take(process.readAllStandardOutput());
    err.take(process.readAllStandardError());

    const QString output = QString::fromLocal8Bit(out.kept);
    const QString errors = QString::fromLocal8Bit(err.kept);
    const bool overflowed = out.overflowed || err.overflowed;
    lastAnswered = !outcome.cancelled && !outcome.failedToStart && !outcome.timedOut && !overflowed
        && process.exitStatus() == QProcess::NormalExit;

    if (outcome.cancelled) {
        records::warning(records::kInspection, 44,
                         QStringLiteral("Command \"%1\" was stopped because the window was closed").arg(process.program()));
    } else if (outcome.failedToStart) {
        records::warning(records::kInspection, 41,
                         QStringLiteral("Could not start \"%1\": %2").arg(process.program(), process.errorString()));
    } else if (outcome.timedOut) {
        records::warning(records::kInspection, 43,
                         QStringLiteral("Command \"%1\" timed out after %2 s and was stopped")
                             .arg(process.program())
                             .arg(timeoutMs / 1000.0));
    } else if (overflowed) {
        records::warning(records::kInspection, 45,
                         QStringLiteral("Command \"%1\" wrote more than %2 MB to %3 and was stopped; the rest of "
                                        "its output is not kept")
                             .arg(process.program())
                             .arg(kOutputLimitBytes / (1024 * 1024))
                             .arg(out.overflowed ? QStringLiteral("standard output") : QStringLiteral("standard error")));
    }
    records::warning(records::kInspection, 46, errors);
    return output;
}
