#include "commands.h"
#include "console.h"

namespace powershell {

int printTdrValues() { return standin::notAnswered(QStringLiteral("printTdrValues")); }

} // namespace powershell
