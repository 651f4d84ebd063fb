#include "inspection/displaysystemrelatedinfo.h"

#include "process/childwait.h"
#include "process/consoletext.h"
#include "records/records.h"

#include <QByteArray>
#include <QProcess>

#include <cstring>

displaysystemrelatedinfo::displaysystemrelatedinfo() : QObject(nullptr) {}

displaysystemrelatedinfo *displaysystemrelatedinfo::instance()
{
    // Created once, never deleted: it lives until the process ends.
    static displaysystemrelatedinfo *const shared = new displaysystemrelatedinfo();
    return shared;
}

namespace {

// The program and its arguments. On Windows a quoted command line goes to the
// system unchanged as the start of the command line; elsewhere it has to be
// split into the executable and its options here.
childwait::Command commandOf(const QStringList &arguments, const QString &program)
{
    childwait::Command command;
#ifndef Q_OS_WIN
    if (arguments.isEmpty() && program.startsWith(QLatin1Char('"'))) {
        QStringList parts = QProcess::splitCommand(program);
        if (!parts.isEmpty()) {
            command.program = parts.takeFirst();
            command.arguments = parts;
            return command;
        }
    }
#endif
    command.program = program;
    command.arguments = arguments;
    return command;
}

bool lastAnswered = true;

// How a child that crashed ended: the signal where the system tells it,
// else (Windows) the exception code it ended with.
QString crashText(const QString &program, const childwait::Outcome &outcome)
{
#ifndef Q_OS_WIN
    if (outcome.signal > 0)
        return QStringLiteral("Command \"%1\" crashed: it was ended by signal %2 (%3)")
            .arg(program)
            .arg(outcome.signal)
            .arg(QString::fromLocal8Bit(::strsignal(outcome.signal)));
#endif
    return QStringLiteral("Command \"%1\" crashed: it ended with exception code 0x%2")
        .arg(program)
        .arg(quint32(outcome.exitCode), 8, 16, QLatin1Char('0'));
}

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
    childwait::Command command = commandOf(arguments, program);
    command.outputLimitBytes = kOutputLimitBytes;
    const childwait::Outcome outcome = childwait::run(command, timeoutMs);

    // In the console's code page, as PowerShell and the console tools write
    // to a pipe on Windows.
    const QString output = consoletext::fromChild(outcome.output);
    const QString errors = consoletext::fromChild(outcome.errors);
    const bool overflowed = outcome.outputOverflowed || outcome.errorsOverflowed;
    lastAnswered = !outcome.cancelled && !outcome.failedToStart && !outcome.timedOut && !overflowed
        && !outcome.crashed;

    if (outcome.cancelled) {
        records::warning(records::kInspection, 44,
                         QStringLiteral("Command \"%1\" was stopped because the window was closed").arg(command.program));
    } else if (outcome.failedToStart) {
        records::warning(records::kInspection, 41,
                         QStringLiteral("Could not start \"%1\": %2").arg(command.program, outcome.startError));
    } else if (outcome.timedOut) {
        records::warning(records::kInspection, 43,
                         QStringLiteral("Command \"%1\" timed out after %2 s and was stopped")
                             .arg(command.program)
                             .arg(timeoutMs / 1000.0));
    } else if (overflowed) {
        records::warning(records::kInspection, 45,
                         QStringLiteral("Command \"%1\" wrote more than %2 MB to %3 and was stopped; the rest of "
                                        "its output is not kept")
                             .arg(command.program)
                             .arg(kOutputLimitBytes / (1024 * 1024))
                             .arg(outcome.outputOverflowed ? QStringLiteral("standard output") : QStringLiteral("standard error")));
    } else if (outcome.crashed) {
        records::warning(records::kInspection, 42, crashText(command.program, outcome));
    }
    records::warning(records::kInspection, 46, errors);
    return output;
}
