#pragma once
// A fake system tree (/proc, /sys, /usr/share/misc) in a temporary folder,
// for the stand-ins' fact readers to read instead of the live system.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class FakeTree
{
public:
    FakeTree();
    // The folder the tree starts at, to hand to the readers as their root.
    QString root() const { return m_dir.path(); }
    // Writes a file at an absolute system path, making its folders.
    void write(const QString &absolute, const QByteArray &content) const;
    // Makes an (empty) folder.
    void makeFolder(const QString &absolute) const;
    // A symbolic link at absolute pointing to target, taken as is (relative
    // targets resolve from the link's folder, as in /sys).
    void link(const QString &absolute, const QString &target) const;

private:
    QTemporaryDir m_dir;
};

} // namespace testsupport
