// The child process on Windows: a QProcess (which starts programs there
// without copying the tool), watched through its signals.

#include "childprocess.h"

#ifdef Q_OS_WIN

#include <QProcess>

namespace childwait {

class ChildProcess::Platform
{
public:
    Outcome outcome;
    QProcess process;
    bool collected = false;

    void collectOutput()
    {
        if (collected)
            return;
        collected = true;
        outcome.output = process.readAllStandardOutput();
        outcome.errors = process.readAllStandardError();
        outcome.crashed = process.exitStatus() == QProcess::CrashExit;
        outcome.exitCode = process.exitCode();
    }
};

ChildProcess::ChildProcess() : m_platform(std::make_unique<Platform>()) {}

ChildProcess::~ChildProcess() = default; // QProcess kills and collects a child still running

bool ChildProcess::start(const Command &command, std::function<void()> ended)
{
    QProcess &process = m_platform->process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    if (command.discardOutput)
        process.setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &process,
                     [this, ended] {
                         m_platform->collectOutput();
                         ended();
                     });
    process.start(QIODevice::ReadWrite);
    if (command.closeInput)
        process.closeWriteChannel();
    if (process.error() == QProcess::FailedToStart) {
        m_platform->outcome.startError = process.errorString();
        return false;
    }
    return true;
}

bool ChildProcess::running() const { return m_platform->process.state() != QProcess::NotRunning; }

void ChildProcess::kill() { m_platform->process.kill(); }

void ChildProcess::collect(int waitMs)
{
    if (running())
        m_platform->process.waitForFinished(waitMs);
    m_platform->collectOutput();
}

Outcome &ChildProcess::outcome() { return m_platform->outcome; }

} // namespace childwait

#endif
