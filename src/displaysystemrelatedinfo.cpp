#include "displaysystemrelatedinfo.h"

#include "childwait.h"
#include "records.h"

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

} // namespace

QString displaysystemrelatedinfo::runCommand(QStringList arguments, QString program, int timeoutMs)
{
    QProcess process;
    setCommand(process, arguments, program);
    const childwait::Outcome outcome = childwait::run(process, timeoutMs);

    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());

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
    }
    records::warning(records::kInspection, 46, errors);
    return output;
}
