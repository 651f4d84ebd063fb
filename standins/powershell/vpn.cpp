#include "commands.h"
#include "console.h"

namespace powershell {

int printVpnConnections() { return standin::notAnswered(QStringLiteral("printVpnConnections")); }

} // namespace powershell
