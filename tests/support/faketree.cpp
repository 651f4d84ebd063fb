#include "faketree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace testsupport {

FakeTree::FakeTree() = default;

void FakeTree::write(const QString &absolute, const QByteArray &content) const
{
    const QString path = m_dir.path() + absolute;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

void FakeTree::makeFolder(const QString &absolute) const { QDir().mkpath(m_dir.path() + absolute); }

void FakeTree::link(const QString &absolute, const QString &target) const
{
    const QString path = m_dir.path() + absolute;
    QDir().mkpath(QFileInfo(path).path());
    // QFile::link makes relative targets absolute; /sys links are relative.
    ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData());
}

} // namespace testsupport
