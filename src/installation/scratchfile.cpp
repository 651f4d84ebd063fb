#include "installation/scratchfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace scratchfile {

bool isOdd(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

void clearOdd(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction() || isOdd(path))
        QFile::remove(path);
}

bool isPlain(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

void removeLeftoverTemporaries(const QString &path)
{
    const QFileInfo target(path);
    const QRegularExpression leftover(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(target.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6,8}")));
    const QFileInfoList candidates =
        target.dir().entryInfoList({target.fileName() + QStringLiteral(".*")},
                                   QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QFileInfo &candidate : candidates) {
        if (leftover.match(candidate.fileName()).hasMatch() && isPlain(candidate.filePath()))
            QFile::remove(candidate.filePath());
    }
}

} // namespace scratchfile
