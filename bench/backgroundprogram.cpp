#include "backgroundprogram.h"

#include "barespawn.h"
#include "process/argumentvector.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

namespace {

constexpr int kSampleIntervalMs = 5;

QByteArray procText(long pid, const QString &entry)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(entry));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The processes pid started, from each of its threads' lists.
QVector<long> childrenOf(long pid)
{
    QVector<long> children;
    const QStringList threads = QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &thread : threads) {
        for (const QByteArray &child : procText(pid, QStringLiteral("task/%1/children").arg(thread)).split(' ')) {
            if (child.toLong() > 0)
                children << child.toLong();
        }
    }
    return children;
}

} // namespace

BackgroundProgram::~BackgroundProgram()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

bool BackgroundProgram::start(const QString &program, const QStringList &arguments,
                              const QProcessEnvironment &environment, const QString &outputFile, QString *error)
{
    ArgumentVector argv(program, arguments);
    EnvironmentVector envp(environment);
    const QByteArray output = QFile::encodeName(outputFile);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int failure = posix_spawn(&m_pid, argv.program(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        m_pid = 0;
        if (error)
            *error = QStringLiteral("%1 does not start: %2").arg(program, QString::fromLocal8Bit(std::strerror(failure)));
        return false;
    }
    m_name = QFileInfo(program).fileName().left(15); // the kernel keeps 15 characters of a name
    m_ownPeakKb = 0;
    m_descendantPeaksKb.clear();
    return true;
}

void BackgroundProgram::sample()
{
    if (m_pid <= 0)
        return;
    m_ownPeakKb = std::max(m_ownPeakKb, highWaterMarkKbOf(m_pid));
    QVector<long> pending = childrenOf(m_pid);
    while (!pending.isEmpty()) {
        const long pid = pending.takeLast();
        const QString name = QString::fromLocal8Bit(procText(pid, QStringLiteral("comm")).trimmed());
        const long peakKb = highWaterMarkKbOf(pid); // 0: gone meanwhile
        if (!name.isEmpty() && name != m_name && peakKb > 0) {
            long &peak = m_descendantPeaksKb[name];
            peak = std::max(peak, peakKb);
        }
        pending += childrenOf(pid);
    }
}

Ending BackgroundProgram::finish(int timeoutMs)
{
    Ending ending;
    if (m_pid <= 0)
        return ending;
    int status = 0;
    rusage usage{};
    for (int waited = 0;; waited += kSampleIntervalMs) {
        sample();
        const pid_t ended = wait4(m_pid, &status, WNOHANG, &usage);
        if (ended == m_pid) {
            ending.ended = true;
            break;
        }
        if (ended < 0 && errno != EINTR)
            break;
        if (waited >= timeoutMs) {
            ::kill(m_pid, SIGKILL);
            wait4(m_pid, &status, 0, &usage);
            break;
        }
        ::usleep(kSampleIntervalMs * 1000);
    }
    m_pid = 0;
    ending.exitCode = ending.ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ending.maxRssKb = usage.ru_maxrss;
    return ending;
}

} // namespace bench
