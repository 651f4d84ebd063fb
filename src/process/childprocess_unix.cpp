// The child process on systems with vfork: the child is started without
// copying the tool's memory first and, on Linux, ends with the tool; its
// pipes and its end are watched by the event loop through socket notifiers (a pidfd for the end, where the kernel
// has them; otherwise a short poll).

#include "process/childprocess.h"

#ifndef Q_OS_WIN

#include "process/argumentvector.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <vector>

namespace childwait {

namespace {

constexpr int kEndPollMs = 10; // only without pidfds

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// A pipe from the child to the tool, read whenever data is there.
struct OutputPipe
{
    int readEnd = -1;
    int writeEnd = -1;
    QByteArray *into = nullptr;
    int limit = -1;
    bool *overflowed = nullptr;
    std::function<void()> onOverflow; // called once, when the limit is first passed
    std::unique_ptr<QSocketNotifier> notifier;

    bool open()
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return false;
        readEnd = fds[0];
        writeEnd = fds[1];
        fcntl(readEnd, F_SETFL, fcntl(readEnd, F_GETFL) | O_NONBLOCK);
        return true;
    }
    // Reads all that is there now; closes the pipe at its end.
    void drain()
    {
        char buffer[65536];
        while (readEnd >= 0) {
            const ssize_t got = ::read(readEnd, buffer, sizeof buffer);
            if (got > 0) {
                if (keepWithin(*into, buffer, int(got), limit) && !*overflowed) {
                    *overflowed = true;
                    if (onOverflow)
                        onOverflow();
                }
            } else if (got < 0 && errno == EINTR) {
                continue;
            } else {
                if (got == 0 || errno != EAGAIN)
                    finish();
                return;
            }
        }
    }
    void finish()
    {
        notifier.reset();
        closeFd(readEnd);
    }
    ~OutputPipe()
    {
        notifier.reset();
        closeFd(readEnd);
        closeFd(writeEnd);
    }
};


// The child's three standard streams, as descriptors of the tool, and a
// descriptor it inherits besides them (-1: none).
struct Streams
{
    int input = -1;
    int output = -1;
    int errors = -1;
    int inherited = -1;
};

// Makes fd the child's descriptor target, open across the exec.
bool placeAt(int fd, int target)
{
    if (fd == target)
        return ::fcntl(fd, F_SETFD, 0) == 0;
    return ::dup2(fd, target) == target;
}

// Starts the program as a child that ends with the tool: should the tool be
// killed, even by SIGKILL, the system sends the child SIGTERM, so no archiver
// or console tool goes on writing into the installation folder behind a run
// that no longer exists. The signal is tied to the thread that starts the
// child; every child is started from the GUI thread, which lives as long as
// the tool. environment, when not null, is the child's environment instead
// of the tool's. Returns 0 or the errno of the failed start.
//
// vfork, like the system's own posix_spawn, does not copy the tool's memory.
// Between vfork and exec the child shares that memory and runs only
// async-signal-safe calls; the tool's signals are blocked meanwhile so no
// handler of the tool runs in the child.
int spawnBound(ArgumentVector &argv, const Streams &streams, char **environment, pid_t *pid)
{
    sigset_t all;
    sigfillset(&all);
    sigset_t previous;
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t parent = ::getpid();
    volatile int failure = 0; // written by the child, read once it has exec'd or ended

    const pid_t started = ::vfork();
    if (started == 0) {
        // Default handling for every signal the tool catches, and for
        // SIGPIPE, before anything is unblocked; nothing blocked after.
        for (int signal = 1; signal < NSIG; ++signal) {
            struct sigaction action;
            if (::sigaction(signal, nullptr, &action) != 0)
                continue;
            if (signal == SIGPIPE || (action.sa_handler != SIG_DFL && action.sa_handler != SIG_IGN)) {
                action.sa_handler = SIG_DFL;
                action.sa_flags = 0;
                ::sigaction(signal, &action, nullptr);
            }
        }
#ifdef Q_OS_LINUX
        if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent) {
            // The tool ended before the tie was made: nothing to run for.
            failure = ECHILD;
            ::_exit(127);
        }
#else
        Q_UNUSED(parent)
#endif
        if (!placeAt(streams.input, STDIN_FILENO) || !placeAt(streams.output, STDOUT_FILENO)
            || !placeAt(streams.errors, STDERR_FILENO)
            || (streams.inherited >= 0 && !placeAt(streams.inherited, streams.inherited))) {
            failure = errno;
            ::_exit(127);
        }
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (environment)
            ::execvpe(argv.program(), argv.data(), environment);
        else
            ::execvp(argv.program(), argv.data());
        failure = errno;
        ::_exit(127);
    }
    const int error = started < 0 ? errno : failure;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (started > 0 && error != 0) {
        int status;
        while (::waitpid(started, &status, 0) < 0 && errno == EINTR) {
        }
    }
    *pid = error == 0 ? started : -1;
    return error;
}

} // namespace

class ChildProcess::Platform
{
public:
    Outcome outcome;
    pid_t pid = -1;
    bool ended = false;
    int status = 0;
    int pidFd = -1;
    int inputWriteEnd = -1; // kept open and empty while the child runs
    OutputPipe out;
    OutputPipe err;
    std::unique_ptr<QSocketNotifier> endNotifier;
    std::unique_ptr<QTimer> endPoll;
    std::function<void()> endedCallback;

    ~Platform()
    {
        endNotifier.reset();
        closeFd(pidFd);
        closeFd(inputWriteEnd);
    }

    // Collects the child if it has ended (or, with block, once it ends).
    bool reap(bool block)
    {
        if (ended || pid < 0)
            return ended;
        pid_t got;
        do
            got = ::waitpid(pid, &status, block ? 0 : WNOHANG);
        while (got < 0 && errno == EINTR);
        if (got == pid || (got < 0 && errno == ECHILD)) {
            ended = true;
            outcome.crashed = got == pid && WIFSIGNALED(status);
            outcome.exitCode = got == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            outcome.signal = outcome.crashed ? WTERMSIG(status) : 0;
        }
        return ended;
    }

    void noticeEnd()
    {
        if (!reap(false))
            return;
        endNotifier.reset();
        endPoll.reset();
        closeFd(inputWriteEnd);
        // All the child wrote is in the pipes now; what a program it started
        // may still write is not waited for.
        out.drain();
        err.drain();
        if (endedCallback)
            endedCallback();
    }

    void watchEnd(QObject *context)
    {
#ifdef SYS_pidfd_open
        pidFd = int(::syscall(SYS_pidfd_open, pid, 0));
#endif
        if (pidFd >= 0) {
            endNotifier = std::make_unique<QSocketNotifier>(pidFd, QSocketNotifier::Read);
            QObject::connect(endNotifier.get(), &QSocketNotifier::activated, context, [this] { noticeEnd(); });
        } else {
            endPoll = std::make_unique<QTimer>();
            endPoll->setInterval(kEndPollMs);
            QObject::connect(endPoll.get(), &QTimer::timeout, context, [this] { noticeEnd(); });
            endPoll->start();
        }
    }

    void watchPipe(OutputPipe &pipe, QObject *context)
    {
        closeFd(pipe.writeEnd);
        if (pipe.readEnd < 0)
            return;
        pipe.notifier = std::make_unique<QSocketNotifier>(pipe.readEnd, QSocketNotifier::Read);
        QObject::connect(pipe.notifier.get(), &QSocketNotifier::activated, context, [&pipe] { pipe.drain(); });
    }

    QObject context; // receiver of the notifications, gone with the platform part
};

ChildProcess::ChildProcess() : m_platform(std::make_unique<Platform>()) {}

ChildProcess::~ChildProcess()
{
    if (running())
        kill();
    collect(5000);
}

bool ChildProcess::start(const Command &command, std::function<void()> ended)
{
    Platform &child = *m_platform;
    child.out.into = &child.outcome.output;
    child.err.into = &child.outcome.errors;
    child.out.overflowed = &child.outcome.outputOverflowed;
    child.err.overflowed = &child.outcome.errorsOverflowed;
    for (OutputPipe *pipe : {&child.out, &child.err}) {
        pipe->limit = command.outputLimitBytes;
        pipe->onOverflow = [this] { kill(); };
    }
    int input[2] = {-1, -1};
    if ((!command.discardOutput && !child.out.open()) || !child.err.open() || pipe2(input, O_CLOEXEC) != 0) {
        child.outcome.startError = QString::fromLocal8Bit(std::strerror(errno));
        closeFd(input[0]);
        closeFd(input[1]);
        return false;
    }

    ArgumentVector argv(command.program, command.arguments);
    Streams streams;
    streams.input = input[0];
    streams.output = child.out.writeEnd;
    streams.errors = child.err.writeEnd;
    int nullDevice = -1;
    int failure = command.program.isEmpty() ? ENOENT : 0;
    if (failure == 0 && (command.closeInput || command.discardOutput)) {
        nullDevice = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (nullDevice < 0)
            failure = errno;
        if (command.closeInput)
            streams.input = nullDevice;
        if (command.discardOutput)
            streams.output = nullDevice;
    }
    std::optional<EnvironmentVector> environment;
    if (command.inheritedHandle > STDERR_FILENO) {
        // Open in the child only: the tool's own stays closed on exec, so no
        // other program inherits it.
        streams.inherited = int(command.inheritedHandle);
        environment.emplace(command.inheritedHandleVariable, QByteArray::number(command.inheritedHandle));
    }
    if (failure == 0)
        failure = spawnBound(argv, streams, environment ? environment->data() : nullptr, &child.pid);
    closeFd(nullDevice);
    closeFd(input[0]);
    if (failure != 0) {
        closeFd(input[1]);
        child.pid = -1;
        child.outcome.startError = QString::fromLocal8Bit(std::strerror(failure));
        return false;
    }
    child.inputWriteEnd = input[1];
    child.endedCallback = std::move(ended);
    child.watchPipe(child.out, &child.context);
    child.watchPipe(child.err, &child.context);
    child.watchEnd(&child.context);
    return true;
}

bool ChildProcess::running() const { return m_platform->pid >= 0 && !m_platform->ended; }

void ChildProcess::kill()
{
    if (running())
        ::kill(m_platform->pid, SIGKILL);
}

void ChildProcess::collect(int waitMs)
{
    Platform &child = *m_platform;
    if (child.pid < 0)
        return;
    for (int waited = 0; !child.reap(false) && waited < waitMs; waited += 5)
        ::usleep(5000);
    child.endedCallback = nullptr;
    child.noticeEnd();
}

Outcome &ChildProcess::outcome() { return m_platform->outcome; }

} // namespace childwait

#endif
