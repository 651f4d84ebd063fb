#include "looprunner.h"

#include "console.h"
#include "installation/pingtargets.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

namespace cmdloop {

namespace {

QString programFor(Tool tool)
{
    if (tool == Tool::Ping)
        return QStringLiteral("ping");
    const QStringList candidates = routePrograms();
    for (const QString &candidate : candidates) {
        if (!QStandardPaths::findExecutable(candidate).isEmpty())
            return candidate;
    }
    return candidates.first(); // reported as not found when it is run
}

// A tool that ends with this stand-in: when the tool asking for the loop
// stops us (time limit, window closed), no ping or route trace may go on
// writing into the result files behind its back.
class BoundTool : public QProcess
{
protected:
    void setupChildProcess() override
    {
#ifdef Q_OS_LINUX
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    }
};

// Runs one tool without any shell in between: the target is one argument.
int runTool(const QString &program, const QStringList &arguments, const QString &resultFile)
{
    QFile result(resultFile);
    if (!result.open(QIODevice::Append)) {
        standin::writeError(QStringLiteral("The system cannot find the path specified.\r\n"));
        return 1;
    }
    result.close();

    BoundTool tool;
    tool.setProgram(program);
    tool.setArguments(arguments);
    tool.setStandardOutputFile(resultFile, QIODevice::Append);
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QIODevice::ReadOnly);
    if (!tool.waitForStarted(-1)) {
        standin::writeError(QStringLiteral("'%1' is not recognized as an internal or external command,\r\n"
                                           "operable program or batch file.\r\n")
                                .arg(program));
        return 9009;
    }
    tool.waitForFinished(-1);
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : 1;
}

} // namespace

int run(const ForLoop &loop)
{
    QFile list(loop.listFile);
    if (!list.open(QIODevice::ReadOnly)) {
        standin::writeError(QStringLiteral("The system cannot find the file %1.\r\n").arg(loop.listFile));
        return 1;
    }
    const QStringList targets = pingtargets::targetsOf(QString::fromLocal8Bit(list.readAll()));
    const QString program = programFor(loop.tool);
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());

    int exitCode = 0;
    for (const QString &target : targets) {
        standin::writeOut(echoOf(loop, target, folder).toLocal8Bit());
        exitCode = runTool(program, toolArguments(loop.tool, target), loop.resultFile);
    }
    return exitCode;
}

} // namespace cmdloop
