#include "commands.h"
#include "console.h"

namespace powershell {

int printPageFile() { return standin::notAnswered(QStringLiteral("printPageFile")); }

} // namespace powershell
