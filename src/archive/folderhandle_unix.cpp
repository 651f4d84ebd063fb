#include "archive/folderhandle.h"

#include "installation/treeremoval.h"

#ifndef Q_OS_WIN

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace folderhandle {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Why an entry of a log folder could not be reached or read.
QString errorText(int error)
{
    switch (error) {
    case ENOENT: return QStringLiteral("it is gone");
    case ELOOP: return QStringLiteral("it is a link now, which is not followed");
    case ENOTDIR: return QStringLiteral("it is no longer a folder");
    default: return systemText(error);
    }
}

bool failed(QString *why, int error = errno)
{
    if (why)
        *why = errorText(error);
    return false;
}

// Closes a descriptor when it goes out of scope.
struct Descriptor
{
    int value;
    ~Descriptor()
    {
        if (value >= 0)
            ::close(value);
    }
};

// The names in a folder, read to the end before any is acted on.
bool namesIn(int folder, QVector<QByteArray> &names, QString *why)
{
    int error = 0;
    return treeremoval::namesIn(folder, names, &error) || failed(why, error);
}

enum class Step { Done, ReadFailed, WriteFailed, Cancelled };

bool writeAll(int out, const char *bytes, ssize_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(out, bytes, size_t(size), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        bytes += written;
        size -= written;
        offset += written;
    }
    return true;
}

// Copies the bytes of in to out, reading only where the file holds data:
// the holes of a sparse file are skipped, and stay holes in the copy. A
// file that shrinks meanwhile is copied as far as it goes.
Step copyData(int in, int out, off_t size, const std::atomic<bool> *stop)
{
    constexpr off_t kChunk = 1 << 20;
    QByteArray buffer(int(kChunk), Qt::Uninitialized);
    off_t position = 0;
    while (position < size) {
        off_t dataStart = ::lseek(in, position, SEEK_DATA);
        off_t holeStart = size;
        if (dataStart < 0) {
            if (errno == ENXIO) {
                // Only a hole is left, or the file was cut short meanwhile:
                // then the copy ends where the file now ends.
                struct stat now;
                if (::fstat(in, &now) == 0 && now.st_size < size)
                    size = std::max<off_t>(now.st_size, position);
                break;
            }
            dataStart = position; // no hole detection here: read it all
        } else {
            const off_t hole = ::lseek(in, dataStart, SEEK_HOLE);
            holeStart = hole < 0 ? size : std::min(hole, size);
        }
        for (off_t offset = dataStart; offset < holeStart;) {
            if (stop && stop->load())
                return Step::Cancelled;
            const ssize_t got = ::pread(in, buffer.data(), size_t(std::min(kChunk, holeStart - offset)), offset);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return Step::ReadFailed;
            if (got == 0) {
                size = offset; // shorter than it was: copied to its end
                break;
            }
            if (!writeAll(out, buffer.constData(), got, offset))
                return Step::WriteFailed;
            offset += got;
        }
        position = std::max(holeStart, position + 1);
    }
    // Sets the length, making a trailing hole a hole in the copy too.
    return ::ftruncate(out, size) == 0 ? Step::Done : Step::WriteFailed;
}

} // namespace

Folder::~Folder()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

Folder::Folder(Folder &&other) noexcept : m_descriptor(other.m_descriptor) { other.m_descriptor = -1; }

Folder &Folder::operator=(Folder &&other) noexcept
{
    std::swap(m_descriptor, other.m_descriptor);
    return *this;
}

Folder Folder::open(const QString &path, bool followLink, QString *why)
{
    Folder folder;
    folder.m_descriptor = ::open(QFile::encodeName(path).constData(), kFolderFlags | (followLink ? 0 : O_NOFOLLOW));
    if (folder.m_descriptor < 0)
        failed(why);
    return folder;
}

Folder Folder::below(const QByteArray &relativePath, QString *why) const
{
    Folder current;
    current.m_descriptor = ::dup(m_descriptor);
    if (current.m_descriptor < 0) {
        failed(why);
        return current;
    }
    for (const QByteArray &name : relativePath.split('/')) {
        if (name.isEmpty())
            continue;
        Folder next;
        next.m_descriptor = ::openat(current.m_descriptor, name.constData(), kFolderFlags | O_NOFOLLOW);
        if (next.m_descriptor < 0) {
            failed(why);
            return next;
        }
        current = std::move(next);
    }
    return current;
}

bool Folder::isOpen() const { return m_descriptor >= 0; }

bool Folder::list(QVector<Listed> &found, QString *why) const
{
    QVector<QByteArray> names;
    if (!namesIn(m_descriptor, names, why))
        return false;
    std::sort(names.begin(), names.end());
    for (const QByteArray &name : qAsConst(names)) {
        struct stat status;
        if (name.startsWith('.') || ::fstatat(m_descriptor, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(status.st_mode) || S_ISREG(status.st_mode))
            found.append({name, S_ISDIR(status.st_mode)});
    }
    return true;
}

bool Folder::makeFolder(const QByteArray &name, QString *why) const
{
    if (::mkdirat(m_descriptor, name.constData(), 0777) == 0)
        return true;
    if (why)
        *why = systemText(errno);
    return false;
}

bool Folder::empty(QString *why) const { return treeremoval::removeInside(m_descriptor, why); }

FileCopyResult copyFile(const Folder &from, const QByteArray &name, const Folder &to, const QByteArray &copyName,
                        const std::atomic<bool> *stop)
{
    // Never waits: a pipe that took the file's place is refused, not read.
    const Descriptor in{::openat(from.m_descriptor, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    struct stat status;
    if (in.value < 0 || ::fstat(in.value, &status) != 0)
        return {FileCopy::SourceFailed, errorText(errno)};
    if (!S_ISREG(status.st_mode))
        return {FileCopy::SourceFailed, QStringLiteral("it is no longer a plain file")};
    // O_EXCL: whatever appeared at the target since is not written through.
    const int out = ::openat(to.m_descriptor, copyName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (out < 0)
        return {FileCopy::TargetFailed, systemText(errno)};
    const Step step = copyData(in.value, out, status.st_size, stop);
    const int error = errno;
    // A failed close can mean data that never reached the disk.
    const bool closed = ::close(out) == 0;
    const int closeError = errno;
    if (step == Step::Done && closed)
        return {};
    ::unlinkat(to.m_descriptor, copyName.constData(), 0);
    switch (step) {
    case Step::Cancelled: return {FileCopy::Cancelled, QString()};
    case Step::ReadFailed: return {FileCopy::SourceFailed, errorText(error)};
    case Step::WriteFailed: return {FileCopy::TargetFailed, systemText(error)};
    case Step::Done: break;
    }
    return {FileCopy::TargetFailed, systemText(closeError)};
}

} // namespace folderhandle

#endif
