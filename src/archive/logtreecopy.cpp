#include "archive/logtreecopy.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace logtreecopy {

namespace {

// A link of any kind: symbolic links, and on Windows shortcuts and junctions too.
bool isLink(const QFileInfo &info) { return info.isSymLink() || info.isJunction(); }

QString joined(const QString &folder, const QString &relativePath)
{
    return relativePath.isEmpty() ? folder : folder + QLatin1Char('/') + relativePath;
}

// Opens path for reading only if it is, at the moment of opening, a plain
// file reached without a link as its last part. Never waits: a pipe that
// took a file's place is refused, not read.
bool openPlainFile(const QString &path, QFile &file)
{
#ifdef Q_OS_UNIX
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return false;
    }
    return true;
#else
    const QFileInfo info(path);
    if (isLink(info) || !info.isFile())
        return false;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#endif
}

// Whether the listed folder (relative to root) still is that folder, and
// not a link put in its place, or in the place of a folder above it, since
// the listing.
bool stillInsideRoot(const QString &canonicalRoot, const QString &source, const QString &relativeFolder)
{
    const QString actual = QFileInfo(joined(source, relativeFolder)).canonicalFilePath();
    return !canonicalRoot.isEmpty() && actual == joined(canonicalRoot, relativeFolder);
}

QString folderPart(const QString &relativePath)
{
    const int slash = relativePath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : relativePath.left(slash);
}

void copyPlainFile(const QString &from, const QString &to)
{
    QFile in;
    if (!openPlainFile(from, in))
        return;
    clearNonFolder(to);
    QFile out(to);
    // NewOnly: whatever appeared at the target since is not written through.
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return;
    constexpr qint64 kChunk = 1 << 20;
    while (true) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size())
            break;
    }
}

} // namespace

QVector<Entry> listVisible(const QString &source)
{
    QVector<Entry> entries;
    QStringList pending{QString()};
    while (!pending.isEmpty()) {
        const QString folder = pending.takeFirst();
        // Without QDir::Hidden and QDir::System: no hidden entries, no pipes or devices.
        const QFileInfoList found =
            QDir(joined(source, folder)).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &info : found) {
            if (isLink(info))
                continue;
            const QString relative = folder.isEmpty() ? info.fileName() : folder + QLatin1Char('/') + info.fileName();
            if (info.isDir()) {
                entries.append({relative, true});
                pending.append(relative);
            } else if (info.isFile()) {
                entries.append({relative, false});
            }
        }
    }
    return entries;
}

Outcome copyListed(const QString &source, const QVector<Entry> &entries, const QString &target)
{
    Outcome outcome;
    clearNonFolder(target);
    if (!QDir().mkpath(target))
        return outcome;
    outcome.made = true;
    const QString canonicalRoot = QFileInfo(source).canonicalFilePath();
    for (const Entry &entry : entries) {
        const QString to = joined(target, entry.relativePath);
        if (!stillInsideRoot(canonicalRoot, source, entry.folder ? entry.relativePath : folderPart(entry.relativePath)))
            continue;
        if (entry.folder) {
            clearNonFolder(to);
            QDir().mkdir(to);
        } else {
            copyPlainFile(joined(source, entry.relativePath), to);
        }
    }
    return outcome;
}

void clearNonFolder(const QString &path)
{
    const QFileInfo info(path);
    if (info.isJunction())
        QDir().rmdir(path); // the junction itself, not what it leads to
    else if (info.isSymLink() || (info.exists() && !info.isDir()))
        QFile::remove(path);
}

qint64 plainFileBytes(const QString &folder)
{
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        bytes += it.fileInfo().size();
    }
    return bytes;
}

} // namespace logtreecopy
