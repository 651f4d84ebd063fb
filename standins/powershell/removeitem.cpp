#include "commands.h"
#include "console.h"

namespace powershell {

int removeItem(const QStringList &arguments) { return standin::notAnswered(arguments.join(QLatin1Char(' '))); }

} // namespace powershell
