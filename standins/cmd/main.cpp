// A stand-in for the Windows command interpreter on systems that have none.
// It answers only the command lines the support tool sends: the ping and
// route loops over the address list, run with this system's tools. Anything
// else is refused the way cmd refuses an unknown command.

#include "console.h"
#include "forloop.h"
#include "looprunner.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QCoreApplication application(argc, argv); // for running the tools
    const QString command = arguments.value(0) == QLatin1String("/c") ? arguments.mid(1).join(QLatin1Char(' '))
                                                                       : arguments.join(QLatin1Char(' '));
    if (const std::optional<cmdloop::ForLoop> loop = cmdloop::parse(command))
        return cmdloop::run(*loop);

    const QString word = command.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    standin::writeError(QStringLiteral("'%1' is not recognized as an internal or external command,\r\n"
                                       "operable program or batch file.\r\n")
                            .arg(word));
    return 1;
}
