#include "commands.h"
#include "console.h"

namespace powershell {

int printPhysicalDisks() { return standin::notAnswered(QStringLiteral("printPhysicalDisks")); }

} // namespace powershell
