#include "barespawn.h"

#include "process/argumentvector.h"

#include <QFile>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace bench {

namespace {

constexpr int kSampleIntervalMs = 5;

class Pipe
{
public:
    Pipe() { m_ok = pipe2(m_fds, O_CLOEXEC) == 0; }
    ~Pipe()
    {
        closeRead();
        closeWrite();
    }
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;
    bool ok() const { return m_ok; }
    int readEnd() const { return m_fds[0]; }
    int writeEnd() const { return m_fds[1]; }
    void closeRead() { closeOne(m_fds[0]); }
    void closeWrite() { closeOne(m_fds[1]); }

private:
    static void closeOne(int &fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    int m_fds[2] = {-1, -1};
    bool m_ok = false;
};

// Reads whatever is there; false once the writer has closed its end.
bool drain(int fd, QByteArray &into)
{
    char buffer[65536];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, int(got));
        return true;
    }
    return got < 0 && (errno == EINTR || errno == EAGAIN);
}

} // namespace

long highWaterMarkKb(const QByteArray &statusText)
{
    const int at = statusText.indexOf("VmHWM:");
    if (at < 0)
        return 0;
    const int end = statusText.indexOf('\n', at);
    return statusText.mid(at + 6, end < 0 ? -1 : end - at - 6).replace("kB", "").trimmed().toLong();
}

long highWaterMarkKbOf(long pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    return highWaterMarkKb(status.readAll());
}

Spawned spawnAndWait(const QString &program, const QStringList &arguments, const SpawnOptions &options)
{
    Spawned result;
    Pipe out;
    Pipe err;
    if (!out.ok() || !err.ok()) {
        result.error = QStringLiteral("no pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return result;
    }

    ArgumentVector argv(program, arguments);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (options.discardOutput)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&actions, out.writeEnd(), 1);
    posix_spawn_file_actions_adddup2(&actions, err.writeEnd(), 2);

    const auto begin = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawnError = posix_spawn(&pid, argv.program(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    out.closeWrite();
    err.closeWrite();
    if (spawnError != 0) {
        result.error = QString::fromLocal8Bit(std::strerror(spawnError));
        return result;
    }
    result.started = true;

    bool outOpen = !options.discardOutput;
    bool errOpen = true;
    if (!outOpen)
        out.closeRead();
    int status = 0;
    rusage usage{};
    for (;;) {
        std::vector<pollfd> watched;
        if (outOpen)
            watched.push_back({out.readEnd(), POLLIN, 0});
        if (errOpen)
            watched.push_back({err.readEnd(), POLLIN, 0});
        if (options.samplePeakMemory)
            result.ownPeakKb = std::max(result.ownPeakKb, highWaterMarkKbOf(pid));
        if (watched.empty()) {
            // Both pipes are closed: the child is ending, or went on without them.
            const pid_t ended = wait4(pid, &status, options.samplePeakMemory ? WNOHANG : 0, &usage);
            if (ended == pid)
                break;
            ::usleep(kSampleIntervalMs * 1000);
            continue;
        }
        const int ready = ::poll(watched.data(), watched.size(), options.samplePeakMemory ? kSampleIntervalMs : -1);
        if (ready <= 0)
            continue;
        for (const pollfd &entry : watched) {
            if (entry.revents == 0)
                continue;
            if (entry.fd == out.readEnd() && !drain(entry.fd, result.output))
                outOpen = false;
            else if (entry.fd == err.readEnd() && !drain(entry.fd, result.errors))
                errOpen = false;
        }
    }
    result.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.maxRssKb = usage.ru_maxrss;
    return result;
}

} // namespace bench
