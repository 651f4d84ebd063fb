#include "installation/runlock.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <vector>
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace runlock {

namespace {

qintptr held = -1; // the descriptor or handle that holds the lock

#ifdef Q_OS_WIN
// The path the system resolves an open file or folder to, empty when it
// cannot tell.
QString finalPath(HANDLE handle)
{
    std::vector<wchar_t> path(32768);
    const DWORD length =
        GetFinalPathNameByHandleW(handle, path.data(), DWORD(path.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= path.size())
        return QString();
    return QString::fromWCharArray(path.data(), int(length));
}
#endif

// Whether handle, inherited from the parent, holds the lock of folder.
bool holdsLockOf(qintptr handle, const QString &folder)
{
#ifdef Q_OS_WIN
    // A handle of the folder's lock file: nobody opens it but the run that
    // holds it, which opened it with no sharing.
    const HANDLE file = HANDLE(handle);
    if (GetFileType(file) != FILE_TYPE_DISK)
        return false;
    const HANDLE directory = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(folder).utf16()), 0,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (directory == INVALID_HANDLE_VALUE)
        return false;
    const QString expected = finalPath(directory) + QStringLiteral("\\SupportTool.lock");
    CloseHandle(directory);
    const QString actual = finalPath(file);
    return !actual.isEmpty() && actual.compare(expected, Qt::CaseInsensitive) == 0;
#else
    // A descriptor of this very folder whose open file holds the lock (or
    // takes it now): flock belongs to the open file, which the parent's and
    // the child's descriptors share.
    const int fd = int(handle);
    struct stat inherited;
    struct stat own;
    if (::fstat(fd, &inherited) != 0 || !S_ISDIR(inherited.st_mode)
        || ::stat(QFile::encodeName(folder).constData(), &own) != 0 || own.st_dev != inherited.st_dev
        || own.st_ino != inherited.st_ino)
        return false;
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0)
        return false;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    return true;
#endif
}

} // namespace

qintptr heldHandle() { return held; }

Outcome takeHandedOver(const QString &folder, QString *reason)
{
    bool isNumber = false;
    const qlonglong handle = qgetenv(handOverVariable().constData()).toLongLong(&isNumber);
    if (isNumber && handle >= 0 && holdsLockOf(qintptr(handle), folder)) {
        held = qintptr(handle);
        return Outcome::Held;
    }
    return takeForProcess(folder, reason);
}

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
    if (handle != INVALID_HANDLE_VALUE) {
        held = qintptr(handle);
        return Outcome::Held;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION)
        return Outcome::Busy;
    if (reason)
        *reason = QStringLiteral("error %1").arg(error);
    return Outcome::Unavailable;
#else
    // Never closed: the descriptor, and with it the lock, goes with the
    // process; children do not inherit it, but for one it is handed to.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        int result;
        do
            result = ::flock(fd, LOCK_EX | LOCK_NB);
        while (result != 0 && errno == EINTR);
        if (result == 0) {
            held = fd;
            return Outcome::Held;
        }
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
