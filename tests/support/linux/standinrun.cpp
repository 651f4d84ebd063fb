#include "standinrun.h"

#include <QProcess>

namespace testsupport {

StandInAnswer runStandIn(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(STANDIN_DIR "/") + program, arguments);
    StandInAnswer answer;
    answer.finished = process.waitForStarted(10000) && process.waitForFinished(10000);
    answer.out = process.readAllStandardOutput();
    answer.err = process.readAllStandardError();
    answer.exitCode = process.exitCode();
    return answer;
}

} // namespace testsupport
