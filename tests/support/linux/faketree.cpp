#include "faketree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace testsupport {

FakeTree::FakeTree() = default;

QString FakeTree::inTree(const QString &path) const
{
    QString relative = path;
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    return m_dir.filePath(relative);
}

void FakeTree::write(const QString &systemPath, const QByteArray &content) const
{
    const QString path = inTree(systemPath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

void FakeTree::makeFolder(const QString &systemPath) const { QDir().mkpath(inTree(systemPath)); }

void FakeTree::link(const QString &systemPath, const QString &target) const
{
    const QString path = inTree(systemPath);
    QDir().mkpath(QFileInfo(path).path());
    // QFile::link makes relative targets absolute; /sys links are relative.
    ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData());
}

} // namespace testsupport
