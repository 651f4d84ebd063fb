#include "archive/folderhandle.h"

#include "installation/treeremoval.h"

#ifdef Q_OS_WIN

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace folderhandle {

namespace {

// A link of any kind: symbolic links, shortcuts and junctions.
bool isLink(const QFileInfo &info) { return info.isSymLink() || info.isJunction() || info.isShortcut(); }

QString inside(const QString &folder, const QByteArray &name)
{
    return folder + QLatin1Char('/') + QString::fromUtf8(name);
}

bool failed(QString *why, const QString &text)
{
    if (why)
        *why = text;
    return false;
}

} // namespace

Folder::~Folder() = default;
Folder::Folder(Folder &&other) noexcept : m_path(std::move(other.m_path)) { other.m_path.clear(); }

Folder &Folder::operator=(Folder &&other) noexcept
{
    std::swap(m_path, other.m_path);
    return *this;
}

Folder Folder::open(const QString &path, bool followLink, QString *why)
{
    Folder folder;
    const QFileInfo info(path);
    if (!followLink && isLink(info))
        failed(why, QStringLiteral("it is a link, which is not followed"));
    else if (!info.isDir())
        failed(why, QStringLiteral("it is not a folder"));
    else
        folder.m_path = info.absoluteFilePath();
    return folder;
}

Folder Folder::below(const QByteArray &relativePath, QString *why) const
{
    Folder current;
    current.m_path = m_path;
    for (const QByteArray &name : relativePath.split('/')) {
        if (name.isEmpty())
            continue;
        const QFileInfo info(inside(current.m_path, name));
        if (isLink(info) || !info.isDir()) {
            failed(why, info.exists() || isLink(info) ? QStringLiteral("it is no longer a folder") : QStringLiteral("it is gone"));
            return Folder();
        }
        current.m_path = info.absoluteFilePath();
    }
    return current;
}

bool Folder::isOpen() const { return !m_path.isEmpty(); }

bool Folder::list(QVector<Listed> &found, QString *why) const
{
    QDir dir(m_path);
    if (!dir.isReadable())
        return failed(why, QStringLiteral("it cannot be read"));
    // Without QDir::Hidden and QDir::System: no hidden entries, no devices.
    for (const QFileInfo &info : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name)) {
        if (!isLink(info) && (info.isDir() || info.isFile()))
            found.append({info.fileName().toUtf8(), info.isDir()});
    }
    return true;
}

bool Folder::makeFolder(const QByteArray &name, QString *why) const
{
    return QDir(m_path).mkdir(QString::fromUtf8(name)) || failed(why, QStringLiteral("it cannot be made"));
}

bool Folder::empty(QString *why) const { return treeremoval::removeInside(m_path, why); }

FileCopyResult copyFile(const Folder &from, const QByteArray &name, const Folder &to, const QByteArray &copyName,
                        const std::atomic<bool> *stop)
{
    const QFileInfo source(inside(from.m_path, name));
    if (isLink(source) || !source.isFile())
        return {FileCopy::SourceFailed, source.exists() ? QStringLiteral("it is no longer a plain file") : QStringLiteral("it is gone")};
    QFile in(source.absoluteFilePath());
    if (!in.open(QIODevice::ReadOnly))
        return {FileCopy::SourceFailed, in.errorString()};
    QFile out(inside(to.m_path, copyName));
    // NewOnly: whatever appeared at the target since is not written through.
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return {FileCopy::TargetFailed, out.errorString()};
    FileCopyResult result;
    constexpr qint64 kChunk = 1 << 20;
    while (result.result == FileCopy::Copied) {
        if (stop && stop->load()) {
            result.result = FileCopy::Cancelled;
            break;
        }
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty()) {
            if (in.error() != QFileDevice::NoError)
                result = {FileCopy::SourceFailed, in.errorString()};
            break;
        }
        if (out.write(chunk) != chunk.size())
            result = {FileCopy::TargetFailed, out.errorString()};
    }
    // A failed flush at close means data that never reached the disk.
    out.close();
    if (result.result == FileCopy::Copied && out.error() != QFileDevice::NoError)
        result = {FileCopy::TargetFailed, out.errorString()};
    if (result.result != FileCopy::Copied)
        out.remove();
    return result;
}

} // namespace folderhandle

#endif
