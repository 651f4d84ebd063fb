#include "d3d12/d3d12probeanswer.h"

#include "d3d12/d3d12probeline.h"

namespace d3d12probe {

namespace {

constexpr std::int32_t kFailure = std::int32_t(0x80004005); // E_FAIL

// The last complete line of the output; empty when it does not end in a
// line end, since a line cut short is no answer.
QByteArray lastLine(const QByteArray &output)
{
    if (!output.endsWith('\n'))
        return {};
    const QByteArray withoutEnd = output.chopped(1);
    return withoutEnd.mid(withoutEnd.lastIndexOf('\n') + 1);
}

QString problemOf(const childwait::Outcome &outcome, int timeoutMs)
{
    const QString program = programName();
    if (outcome.cancelled)
        return QStringLiteral("The Direct3D 12 probe \"%1\" was stopped because the window was closed").arg(program);
    if (outcome.failedToStart)
        return QStringLiteral("Could not start the Direct3D 12 probe \"%1\": %2").arg(program, outcome.startError);
    if (outcome.timedOut)
        return QStringLiteral("The Direct3D 12 probe \"%1\" did not answer within %2 s and was stopped")
            .arg(program)
            .arg(timeoutMs / 1000.0);
    if (outcome.outputOverflowed || outcome.errorsOverflowed)
        return QStringLiteral("The Direct3D 12 probe \"%1\" wrote too much and was stopped").arg(program);
    if (outcome.crashed)
        return QStringLiteral("The Direct3D 12 probe \"%1\" crashed").arg(program);
    if (outcome.exitCode != 0)
        return QStringLiteral("The Direct3D 12 probe \"%1\" ended with exit code %2").arg(program).arg(outcome.exitCode);
    return {};
}

} // namespace

QString programName() { return QStringLiteral("d3d12probe"); }

Answer answerOf(const childwait::Outcome &outcome, int timeoutMs)
{
    Answer answer;
    answer.problem = problemOf(outcome, timeoutMs);
    if (answer.problem.isEmpty()) {
        const QByteArray line = lastLine(outcome.output);
        if (const std::optional<Facts> facts = fromLine(std::string_view(line.constData(), line.size())))
            answer.facts = *facts;
        else
            answer.problem = QStringLiteral("The Direct3D 12 probe \"%1\" gave no readable answer: \"%2\"")
                                 .arg(programName(), QString::fromLocal8Bit(outcome.output.left(200)).trimmed());
    }
    if (!answer.problem.isEmpty())
        answer.facts = Facts{kFailure, 0, 0};
    return answer;
}

} // namespace d3d12probe
