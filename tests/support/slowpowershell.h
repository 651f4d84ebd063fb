#pragma once
// "powershell" fixtures that take their time, for tests that look at the
// window while a command runs or close it before the command ends. Both
// note the arguments they were started with, one per line.

#include "testsupport.h"

#include <QByteArray>
#include <QStringList>

namespace testsupport {

// Answers every script with answer after waiting delaySeconds.
void addDelayedPowerShell(const FixturePath &fixtures, double delaySeconds, const QByteArray &answer);
// Never answers: becomes a 20-second sleep, so only a kill ends it early.
void addHangingPowerShell(const FixturePath &fixtures);
// The arguments the last started fixture powershell received.
QStringList powerShellArguments(const FixturePath &fixtures);

} // namespace testsupport
