#include "machinefacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList expectedDisks()
{
    QStringList disks;
    const QDir blocks(QStringLiteral("/sys/block"));
    for (const QString &name : blocks.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        if (!name.startsWith(QLatin1String("sr")) && QFileInfo::exists(blocks.filePath(name) + QStringLiteral("/device"))
            && fileText(blocks.filePath(name) + QStringLiteral("/size")).trimmed().toLongLong() > 0)
            disks << name;
    }
    return disks;
}

} // namespace testsupport
