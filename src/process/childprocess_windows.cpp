// The child process on Windows: a QProcess (which starts programs there
// without copying the tool), watched through its signals.

#include "process/childprocess.h"

#ifdef Q_OS_WIN

#include <QProcess>

#include <windows.h>

namespace childwait {

namespace {

// The job every child joins. Its one handle is closed only when the tool
// ends, however it ends, and the system then ends every process still in
// the job: no archiver or console tool goes on writing into the
// installation folder behind a run that no longer exists. A child joins
// just after its start, so a program it starts in that moment is not held.
HANDLE toolJob()
{
    static const HANDLE job = [] {
        const HANDLE handle = CreateJobObjectW(nullptr, nullptr);
        if (handle) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            SetInformationJobObject(handle, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        }
        return handle;
    }();
    return job;
}

void tieToTool(const QProcess &process)
{
    if (!toolJob() || process.processId() == 0)
        return;
    const HANDLE child = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, DWORD(process.processId()));
    if (child) {
        AssignProcessToJobObject(toolJob(), child);
        CloseHandle(child);
    }
}

} // namespace

class ChildProcess::Platform
{
public:
    Outcome outcome;
    QProcess process;
    bool collected = false;
    int limit = -1;

    // Keeps what fits of the newly arrived output; stops the child when a
    // channel passes the limit.
    void take(const QByteArray &bytes, QByteArray &kept, bool &overflowed)
    {
        if (keepWithin(kept, bytes.constData(), bytes.size(), limit) && !overflowed) {
            overflowed = true;
            process.kill();
        }
    }

    void collectOutput()
    {
        if (collected)
            return;
        collected = true;
        take(process.readAllStandardOutput(), outcome.output, outcome.outputOverflowed);
        take(process.readAllStandardError(), outcome.errors, outcome.errorsOverflowed);
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
    Platform &child = *m_platform;
    child.limit = command.outputLimitBytes;
    // Read as it arrives, so a flood never piles up in the process object.
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [&child] {
        child.take(child.process.readAllStandardOutput(), child.outcome.output, child.outcome.outputOverflowed);
    });
    QObject::connect(&process, &QProcess::readyReadStandardError, &process, [&child] {
        child.take(child.process.readAllStandardError(), child.outcome.errors, child.outcome.errorsOverflowed);
    });
    QObject::connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &process,
                     [this, ended] {
                         m_platform->collectOutput();
                         ended();
                     });
    // A handle handed to the child is inheritable only while it starts
    // (every child is started from the GUI thread), so no other program
    // inherits it.
    const HANDLE inherited = command.inheritedHandle >= 0 ? HANDLE(command.inheritedHandle) : nullptr;
    if (inherited) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(command.inheritedHandleVariable), QString::number(command.inheritedHandle));
        process.setProcessEnvironment(environment);
        SetHandleInformation(inherited, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    process.start(QIODevice::ReadWrite);
    if (inherited)
        SetHandleInformation(inherited, HANDLE_FLAG_INHERIT, 0);
    if (command.closeInput)
        process.closeWriteChannel();
    if (process.error() == QProcess::FailedToStart) {
        m_platform->outcome.startError = process.errorString();
        return false;
    }
    tieToTool(process);
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
