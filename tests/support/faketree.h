#pragma once
// A throw-away folder laid out like the root of a system ("proc/...",
// "sys/class/net/...", "etc/..."), for fact readers that take a root.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class FakeTree
{
public:
    QString root() const { return m_dir.path(); }
    // Writes a file, making the folders above it.
    void write(const QString &relative, const QByteArray &content) const;
    // Makes a symbolic link at relative pointing to target (as given).
    void link(const QString &relative, const QString &target) const;

private:
    QTemporaryDir m_dir;
};

} // namespace testsupport
