#pragma once
// The "for /f" loops of the address tests, as the stand-in cmd reads them:
// for every target of a list file, run a ping or a route trace and append
// its output to a result file.

#include <QString>
#include <QStringList>

#include <optional>

namespace cmdloop {

enum class Tool { Ping, Route };

struct ForLoop
{
    QString listFile;       // the file whose lines give the targets
    Tool tool = Tool::Ping;
    QString windowsCommand; // the loop body's command before the target, as written
    QString resultFile;     // where ">>" appends the tool's output
};

// Recognises "for /f %d in (LIST) do (ping -n 4 %d >> RESULT)" and
// "for /f %d in (LIST) do (tracert %d >> RESULT)"; anything else is not a
// loop this stand-in runs.
std::optional<ForLoop> parse(const QString &commandLine);

// What the console prints before it runs the body for one target: the
// prompt with the current folder and the expanded command, redirection
// rewritten the way cmd echoes it.
QString echoOf(const ForLoop &loop, const QString &target, const QString &currentFolder);

// The arguments of this system's tool for one target. The target always
// comes after "--", so a value such as "-f" is a host name to the tool and
// never one of its options.
QStringList toolArguments(Tool tool, const QString &target);

// The route tracers that accept "--" before the target, in order of preference.
QStringList routePrograms();

} // namespace cmdloop
