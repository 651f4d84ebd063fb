#include "commands.h"
#include "console.h"

namespace powershell {

int printConflictingProcesses() { return standin::notAnswered(QStringLiteral("printConflictingProcesses")); }

} // namespace powershell
