#include "installation/treeremoval.h"

#ifdef Q_OS_WIN

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace treeremoval {

namespace {

bool isLink(const QFileInfo &info) { return info.isSymLink() || info.isJunction() || info.isShortcut(); }

// A link to a folder (a junction, a folder symbolic link) is a folder entry
// of its own: removing it as a folder removes the link, not its target.
bool removeEntry(const QString &path) { return QFile::remove(path) || QDir().rmdir(path); }

} // namespace

bool removeInside(const QString &folder, QString *why)
{
    bool removedAll = true;
    const QFileInfoList found =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : found) {
        const QString path = info.absoluteFilePath();
        const bool removed = isLink(info) || !info.isDir() ? removeEntry(path)
                                                           : removeInside(path, why) && QDir().rmdir(path);
        if (!removed) {
            removedAll = false;
            if (why)
                *why = QStringLiteral("%1 cannot be removed").arg(QDir::toNativeSeparators(path));
        }
    }
    return removedAll;
}

bool removeTree(const QString &path)
{
    // "folder/" would be taken for what a link named folder leads to.
    const QString cleaned = QDir::cleanPath(path);
    const QFileInfo info(cleaned);
    if (!info.exists() && !isLink(info))
        return true;
    if (isLink(info) || !info.isDir())
        return removeEntry(cleaned);
    return removeInside(cleaned, nullptr) && QDir().rmdir(cleaned);
}

} // namespace treeremoval

#else

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace treeremoval {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool failed(QString *why, int error = errno)
{
    if (why)
        *why = QString::fromLocal8Bit(::strerror(error));
    return false;
}

} // namespace

bool namesIn(int folder, QVector<QByteArray> &names, int *error)
{
    const int copy = ::dup(folder);
    DIR *const dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        *error = errno;
        if (copy >= 0)
            ::close(copy);
        return false;
    }
    ::rewinddir(dir);
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    *error = errno;
    ::closedir(dir);
    return *error == 0;
}

bool removeInside(int folder, QString *why)
{
    QVector<QByteArray> names;
    int error = 0;
    if (!namesIn(folder, names, &error))
        return failed(why, error);
    bool removedAll = true;
    for (const QByteArray &name : qAsConst(names)) {
        struct stat status;
        if (::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone meanwhile
        const bool isFolder = S_ISDIR(status.st_mode);
        if (isFolder) {
            // Not followed should it have turned into a link since.
            const int inner = ::openat(folder, name.constData(), kFolderFlags);
            const bool emptied = inner >= 0 ? removeInside(inner, why) : failed(why);
            if (inner >= 0)
                ::close(inner);
            if (!emptied) {
                removedAll = false;
                continue;
            }
        }
        if (::unlinkat(folder, name.constData(), isFolder ? AT_REMOVEDIR : 0) != 0)
            removedAll = failed(why);
    }
    return removedAll;
}

bool removeTree(const QString &path)
{
    // "folder/" would be taken for what a link named folder leads to.
    const QByteArray name = QFile::encodeName(QDir::cleanPath(path));
    struct stat status;
    if (::lstat(name.constData(), &status) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(status.st_mode))
        return ::unlink(name.constData()) == 0;
    const int folder = ::open(name.constData(), kFolderFlags);
    if (folder < 0)
        return false;
    const bool emptied = removeInside(folder, nullptr);
    ::close(folder);
    return emptied && ::rmdir(name.constData()) == 0;
}

} // namespace treeremoval

#endif
