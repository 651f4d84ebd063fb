#include "commands.h"
#include "console.h"

namespace powershell {

int printProcessor() { return standin::notAnswered(QStringLiteral("printProcessor")); }

} // namespace powershell
