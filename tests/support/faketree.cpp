#include "faketree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

void FakeTree::write(const QString &relative, const QByteArray &content) const
{
    const QString path = m_dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

void FakeTree::link(const QString &relative, const QString &target) const
{
    const QString path = m_dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile::link(target, path);
}

} // namespace testsupport
