#include "updates.h"

#include "commands.h"
#include "console.h"

namespace powershell {

QStringList hotfixLines(const QStringList &updates)
{
    QStringList lines;
    for (int i = 0; i < updates.size(); ++i)
        lines << QString(27, QLatin1Char(' ')) + QStringLiteral("[%1]: ").arg(i + 1, 2, 10, QLatin1Char('0'))
                     + updates.at(i);
    return lines;
}

int printInstalledUpdates()
{
    const QStringList updates = readInstalledUpdates(QStringLiteral("/"));
    standin::writeOutLines(hotfixLines(updates));
    // findstr ends with 1 when no line matched.
    return updates.isEmpty() ? 1 : 0;
}

} // namespace powershell
