#include "commands.h"
#include "console.h"

namespace powershell {

int printNetworkStatus() { return standin::notAnswered(QStringLiteral("printNetworkStatus")); }

} // namespace powershell
