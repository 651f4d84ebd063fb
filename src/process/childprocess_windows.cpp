// The child process on Windows: a QProcess (which starts programs there
// without copying the tool), watched through its signals.

#include "process/childprocess.h"

#ifdef Q_OS_WIN

#include <QElapsedTimer>
#include <QProcess>

#include <windows.h>

namespace childwait {

namespace {

// A job of the child's own, which it joins right after its start and which
// the programs it starts join with it (cmd's ping and tracert, PowerShell's
// console tools). Killing the job ends them all: a console killed alone
// leaves its tool writing into its result file behind the run. The system
// ends every process still in the job when its one handle closes: when the
// child's object goes at the end of its call, or when the tool ends,
// however it ends, so no archiver or console tool goes on writing into the
// installation folder behind a run that no longer exists. A program the
// child starts in the moment before it joins is not held.
HANDLE jobOfItsOwn(const QProcess &process)
{
    if (process.processId() == 0)
        return nullptr;
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job)
        return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    const HANDLE child = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, DWORD(process.processId()));
    const bool joined = child && AssignProcessToJobObject(job, child);
    if (child)
        CloseHandle(child);
    if (!joined) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// True once no process is left in the job (or nothing can be told of it).
bool jobEmpty(HANDLE job)
{
    JOBOBJECT_BASIC_PROCESS_ID_LIST list = {};
    if (!QueryInformationJobObject(job, JobObjectBasicProcessIdList, &list, sizeof list, nullptr)
        && GetLastError() != ERROR_MORE_DATA)
        return true;
    return list.NumberOfAssignedProcesses == 0;
}

// The exit code QProcess gives a program it kills, which it reports as a crash.
constexpr UINT kKilledExitCode = 0xf291;

} // namespace

class ChildProcess::Platform
{
public:
    Outcome outcome;
    QProcess process;
    bool collected = false;
    bool killed = false;
    int limit = -1;
    HANDLE job = nullptr;

    ~Platform()
    {
        if (job)
            CloseHandle(job); // ends whatever is left in it
    }

    void kill()
    {
        killed = true;
        if (job)
            TerminateJobObject(job, kKilledExitCode);
        process.kill();
    }

    // After a kill, the programs the child started end a moment after it:
    // waits for them, so the files they held can be removed at once.
    void waitForJob(qint64 waitMs)
    {
        if (!killed || !job)
            return;
        QElapsedTimer clock;
        clock.start();
        while (!jobEmpty(job) && clock.elapsed() < waitMs)
            Sleep(10);
    }

    // Keeps what fits of the newly arrived output; stops the child when a
    // channel passes the limit.
    void take(const QByteArray &bytes, QByteArray &kept, bool &overflowed)
    {
        if (keepWithin(kept, bytes.constData(), bytes.size(), limit) && !overflowed) {
            overflowed = true;
            kill();
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
    m_platform->job = jobOfItsOwn(process);
    return true;
}

bool ChildProcess::running() const { return m_platform->process.state() != QProcess::NotRunning; }

void ChildProcess::kill() { m_platform->kill(); }

void ChildProcess::collect(int waitMs)
{
    QElapsedTimer clock;
    clock.start();
    if (running())
        m_platform->process.waitForFinished(waitMs);
    m_platform->waitForJob(waitMs - clock.elapsed());
    m_platform->collectOutput();
}

Outcome &ChildProcess::outcome() { return m_platform->outcome; }

} // namespace childwait

#endif
