#include "systemroot.h"

#include "console.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace standin {

SystemRoot::SystemRoot(QString root) : m_root(std::move(root))
{
    while (m_root.endsWith(QLatin1Char('/')))
        m_root.chop(1);
}

QString SystemRoot::path(const QString &absolute) const { return m_root + absolute; }

QString SystemRoot::text(const QString &absolute) const { return readText(path(absolute)); }

QString SystemRoot::trimmed(const QString &absolute) const { return readTrimmed(path(absolute)); }

QByteArray SystemRoot::bytes(const QString &absolute) const
{
    QFile file(path(absolute));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool SystemRoot::exists(const QString &absolute) const { return QFileInfo::exists(path(absolute)); }

QStringList SystemRoot::entries(const QString &absoluteFolder, const QString &wildcard) const
{
    // /sys lists devices as symbolic links to folders, so links are kept.
    return QDir(path(absoluteFolder))
        .entryList({wildcard}, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QString SystemRoot::linkName(const QString &absolute) const
{
    const QFileInfo info(path(absolute));
    if (!info.isSymLink())
        return QString();
    return QFileInfo(info.symLinkTarget()).fileName();
}

} // namespace standin
