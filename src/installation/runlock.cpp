#include "installation/runlock.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace runlock {

Outcome takeForProcess(const QString &folder, QString *reason)
{
#ifdef Q_OS_WIN
    const QString path = QDir::toNativeSeparators(QDir(folder).absoluteFilePath(QStringLiteral("SupportTool.lock")));
    // Never closed: the handle, and with it the lock, goes with the process.
    // A link by that name is held itself, never followed.
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                                      0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        return Outcome::Held;
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION)
        return Outcome::Busy;
    if (reason)
        *reason = QStringLiteral("error %1").arg(error);
    return Outcome::Unavailable;
#else
    // Never closed: the descriptor, and with it the lock, goes with the
    // process; children do not inherit it.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        int result;
        do
            result = ::flock(fd, LOCK_EX | LOCK_NB);
        while (result != 0 && errno == EINTR);
        if (result == 0)
            return Outcome::Held;
        if (errno == EWOULDBLOCK) {
            ::close(fd);
            return Outcome::Busy;
        }
    }
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    if (fd >= 0)
        ::close(fd);
    return Outcome::Unavailable;
#endif
}

QString busyMessage(const QString &folder)
{
    return QStringLiteral("Another run of the Tessaly Render Support Tool is using the installation folder \"%1\". "
                          "Wait until it has finished, then start the tool again. Nothing was changed.")
        .arg(QDir::toNativeSeparators(folder));
}

} // namespace runlock
