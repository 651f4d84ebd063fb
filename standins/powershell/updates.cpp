#include "commands.h"
#include "console.h"

namespace powershell {

int printInstalledUpdates() { return standin::notAnswered(QStringLiteral("printInstalledUpdates")); }

} // namespace powershell
