#include "forloop.h"

#include <QRegularExpression>

namespace cmdloop {

std::optional<ForLoop> parse(const QString &commandLine)
{
    static const QRegularExpression loop(QStringLiteral(
        R"(^for /f %([A-Za-z]) in \(([^()]+)\) do \((ping -n 4|tracert) %\1 >> ([^\s()]+)\)$)"));
    const QRegularExpressionMatch match = loop.match(commandLine.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    ForLoop result;
    result.listFile = match.captured(2).trimmed();
    result.windowsCommand = match.captured(3);
    result.tool = result.windowsCommand == QLatin1String("tracert") ? Tool::Route : Tool::Ping;
    result.resultFile = match.captured(4);
    return result;
}

QString echoOf(const ForLoop &loop, const QString &target, const QString &currentFolder)
{
    return QStringLiteral("\r\n%1>(%2 %3  1>>%4 )\r\n")
        .arg(currentFolder, loop.windowsCommand, target, loop.resultFile);
}

QStringList toolArguments(Tool tool, const QString &target)
{
    if (tool == Tool::Ping)
        return {QStringLiteral("-c"), QStringLiteral("4"), QStringLiteral("--"), target};
    return {QStringLiteral("--"), target};
}

QStringList routePrograms() { return {QStringLiteral("traceroute"), QStringLiteral("tracepath")}; }

} // namespace cmdloop
