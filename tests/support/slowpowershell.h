#pragma once
// The fixture PowerShell of a FixturePath taking its time, for tests that
// look at the window while a command runs or close it before the command
// ends; and what that fixture was started with.

#include "testsupport.h"

#include <QByteArray>
#include <QStringList>

namespace testsupport {

// Answers every script with answer after waiting delaySeconds.
void addDelayedPowerShell(const FixturePath &fixtures, double delaySeconds, const QByteArray &answer);
// Never answers: waits 20 seconds, so only a kill ends it early.
void addHangingPowerShell(const FixturePath &fixtures);
// The arguments the last started fixture powershell received.
QStringList powerShellArguments(const FixturePath &fixtures);

} // namespace testsupport
