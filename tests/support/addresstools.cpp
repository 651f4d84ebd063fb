#include "addresstools.h"

#include <QDir>

namespace testsupport {

QString addressToolName(AddressTool tool)
{
    if (tool == AddressTool::Ping)
        return QStringLiteral("ping");
#ifdef Q_OS_WIN
    return QStringLiteral("tracert");
#else
    return QStringLiteral("traceroute");
#endif
}

QStringList addressToolArguments(AddressTool tool, const QString &target)
{
#ifdef Q_OS_WIN
    return tool == AddressTool::Ping ? QStringList{QStringLiteral("-n"), QStringLiteral("4"), target}
                                     : QStringList{target};
#else
    return tool == AddressTool::Ping
               ? QStringList{QStringLiteral("-c"), QStringLiteral("4"), QStringLiteral("--"), target}
               : QStringList{QStringLiteral("--"), target};
#endif
}

QString addAddressTool(const FixturePath &fixtures, AddressTool tool, const FixtureSteps &steps)
{
    appendStandInsToPath();
    return fixtures.addFixture(addressToolName(tool), steps);
}

namespace {
QString logOf(const FixturePath &fixtures, AddressTool tool)
{
    return QDir(fixtures.path()).filePath(addressToolName(tool) + QStringLiteral(".log"));
}
} // namespace

FixtureSteps loggingSteps(const FixturePath &fixtures, AddressTool tool)
{
    return FixtureSteps().logArguments(logOf(fixtures, tool));
}

QList<QStringList> addressToolRuns(const FixturePath &fixtures, AddressTool tool)
{
    return loggedArguments(logOf(fixtures, tool));
}

} // namespace testsupport
