// A stand-in for Windows PowerShell on systems that have none: it answers
// the exact scripts the support tool sends with this machine's facts, in the
// layout the Windows commands print. Any other script is refused the way
// PowerShell refuses an unknown command.

#include "commands.h"
#include "console.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    const powershell::Handler handler = powershell::handlerFor(arguments);
    if (handler)
        return handler(arguments);

    const QString script = arguments.join(QLatin1Char(' '));
    const QString word = script.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    standin::writeError(
        QStringLiteral("%1 : The term '%1' is not recognized as the name of a cmdlet, function, script file, or "
                       "operable program. Check the spelling of the name, or if a path was included, verify that "
                       "the path is correct and try again.\r\n"
                       "    + CategoryInfo          : ObjectNotFound: (%1:String) [], CommandNotFoundException\r\n"
                       "    + FullyQualifiedErrorId : CommandNotFoundException\r\n\r\n")
            .arg(word.isEmpty() ? script : word));
    return 1;
}
