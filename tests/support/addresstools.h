#pragma once
// The console tools the network action's address loops start, as fixtures.
// The loops are cmd's: on Windows the system's own (CreateProcessW finds it
// in system32 before the search path; under Wine, Wine's cmd), elsewhere
// the stand-in cmd, which these helpers put last on the search path. Either
// runs the tools it finds first on the search path: the fixtures.

#include "testsupport.h"

#include <QString>
#include <QStringList>

namespace testsupport {

enum class AddressTool { Ping, Route };

// The tool's name: "ping", and "tracert" on Windows or "traceroute" for
// the stand-in cmd.
QString addressToolName(AddressTool tool);
// The arguments the loop hands the tool for one target: Windows' cmd the
// words of its loop ("-n 4", then the target), the stand-in cmd this
// system's options and the target after "--".
QStringList addressToolArguments(AddressTool tool, const QString &target);

// Places the tool as a fixture program doing steps; returns its path.
QString addAddressTool(const FixturePath &fixtures, AddressTool tool, const FixtureSteps &steps);
// Steps that begin by noting the arguments in the tool's log in the fixture
// folder, for addressToolRuns; further steps are chained on.
FixtureSteps loggingSteps(const FixturePath &fixtures, AddressTool tool);
// The runs the tool noted, each run's arguments in order.
QList<QStringList> addressToolRuns(const FixturePath &fixtures, AddressTool tool);

} // namespace testsupport
