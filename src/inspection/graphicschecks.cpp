#include "inspection/displaysystemrelatedinfo.h"

#include "inspection/windowscommands.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "shaping/graphicsshaping.h"

#ifdef Q_OS_WIN
#include "d3d12/d3d12probe.h"
#else
#include "d3d12/d3d12probeanswer.h"
#include "process/childwait.h"

#include <QtGlobal>

namespace {
// Creating a device takes well under a second even with a software driver;
// a probe that takes longer is stuck in its driver.
constexpr int kProbeTimeoutMs = 30 * 1000;
} // namespace
#endif

void displaysystemrelatedinfo::getTdrInfo(QString &output)
{
    const QString answer = runCommand(windowscommands::tdrValues(), windowscommands::powerShell());
    if (cancellation::requested())
        return;
    const records::ShapedCheck shaped = graphicsshaping::tdrValues(answer);
    output += shaped.text;
    records::writeChecks(shaped.records);
}

void displaysystemrelatedinfo::checkD3D12Support()
{
#ifdef Q_OS_WIN
    // The system's d3d12 is bound when the program loads; the device exists
    // only for the two questions and is released by the probe.
    records::writeChecks(graphicsshaping::d3d12Records(d3d12probe::probe()));
#else
    // Elsewhere the device is made by vkd3d, which loads the Vulkan loader and
    // every installed driver: done in a short-lived program of its own, that
    // weight stays out of the tool, and a driver that crashes takes only the
    // probe down. Its standard error is a driver's chatter, not the tool's
    // concern, so it is not recorded.
    childwait::Command command;
    command.program = d3d12probe::programName();
    command.closeInput = true;
    command.outputLimitBytes = kOutputLimitBytes;
    const int timeoutMs = qMin(kProbeTimeoutMs, defaultCommandTimeoutMs());
    const d3d12probe::Answer answer = d3d12probe::answerOf(childwait::run(command, timeoutMs), timeoutMs);
    if (cancellation::requested())
        return;
    if (!answer.problem.isEmpty())
        records::warning(records::kInspection, 481, answer.problem);
    records::writeChecks(graphicsshaping::d3d12Records(answer.facts));
#endif
}
