// The child process on systems with posix_spawn: the child is started without
// copying the tool's memory first, its pipes and its end are watched by the
// event loop through socket notifiers (a pidfd for the end, where the kernel
// has them; otherwise a short poll).

#include "process/argumentvector.h"
#include "process/childprocess.h"

#ifndef Q_OS_WIN

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

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

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    if (command.closeInput)
        posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&files, input[0], STDIN_FILENO);
    if (command.discardOutput)
        posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&files, child.out.writeEnd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&files, child.err.writeEnd, STDERR_FILENO);

    // The child starts with default signal handling and nothing blocked,
    // whatever the tool has set up for itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const int failure = command.program.isEmpty()
                            ? ENOENT
                            : posix_spawnp(&child.pid, argv.program(), &files, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
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
