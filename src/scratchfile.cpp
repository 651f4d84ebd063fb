#include "scratchfile.h"

#include <QFile>
#include <QFileInfo>

namespace scratchfile {

void clearOdd(const QString &path)
{
    const QFileInfo info(path);
    const bool link = info.isSymLink() || info.isJunction();
    const bool odd = info.exists() && !info.isFile() && !info.isDir();
    if (link || odd)
        QFile::remove(path);
}

bool isPlain(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

} // namespace scratchfile
