#include "hostilefolders.h"

#include <QFile>
#include <QProcess>

#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {
bool changeImmutable(const QStringList &folders, bool on)
{
    return QProcess::execute(QStringLiteral("chattr"), QStringList{on ? QStringLiteral("+i") : QStringLiteral("-i")} + folders) == 0;
}
} // namespace

ReadOnlyFolders::ReadOnlyFolders(const QStringList &folders) : m_folders(folders), m_asRoot(::geteuid() == 0)
{
    if (m_asRoot) {
        if (!changeImmutable(m_folders, true))
            m_problem = QStringLiteral("running as root, and chattr cannot make folders immutable here");
        return;
    }
    for (const QString &folder : qAsConst(m_folders))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
}

ReadOnlyFolders::~ReadOnlyFolders()
{
    if (m_asRoot) {
        if (m_problem.isEmpty())
            changeImmutable(m_folders, false);
        return;
    }
    for (const QString &folder : qAsConst(m_folders))
        QFile::setPermissions(folder, QFile::permissions(folder) | QFile::WriteOwner);
}

bool makeDeepTree(const QString &parent, const QString &name, int levels)
{
    const QByteArray level = QFile::encodeName(name);
    int folder = ::open(QFile::encodeName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int depth = 1; depth <= levels && folder >= 0; ++depth) {
        if (::mkdirat(folder, level.constData(), 0755) != 0) {
            ::close(folder);
            return false;
        }
        const int next = ::openat(folder, level.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = next;
        if (folder >= 0 && depth % 10 == 0) {
            const QByteArray file = "level-" + QByteArray::number(depth) + ".log";
            const int log = ::openat(folder, file.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (log >= 0) {
                const QByteArray text = "deep log " + QByteArray::number(depth) + "\n";
                (void)::write(log, text.constData(), text.size());
                ::close(log);
            }
        }
    }
    if (folder < 0)
        return false;
    ::close(folder);
    return true;
}

void removeDeepTree(const QString &path)
{
    // GNU rm walks by descriptors, so no path length limits it.
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), QStringLiteral("--"), path});
}

bool makePipe(const QString &path) { return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0; }

PipeWatch::PipeWatch(const QString &path, int graceMs)
{
    m_thread = std::thread([this, name = QFile::encodeName(path), graceMs] {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
        while (!m_stop && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (!m_stop) {
            // Succeeds only while a reader has the pipe open.
            const int writer = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer >= 0)
                ::close(writer);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
}

PipeWatch::~PipeWatch()
{
    m_stop = true;
    m_thread.join();
}

} // namespace testsupport
