#include "scratchfile.h"

#include <QFile>
#include <QFileInfo>

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

} // namespace scratchfile
