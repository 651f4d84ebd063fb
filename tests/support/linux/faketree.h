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
    // Paths are system paths, with or without the leading "/" ("/proc/x"
    // and "proc/x" name the same file of the tree).
    // Writes a file, making its folders.
    void write(const QString &path, const QByteArray &content) const;
    // Makes an (empty) folder.
    void makeFolder(const QString &path) const;
    // A symbolic link at path pointing to target, taken as is (relative
    // targets resolve from the link's folder, as in /sys).
    void link(const QString &path, const QString &target) const;

private:
    QString inTree(const QString &path) const;
    QTemporaryDir m_dir;
};

} // namespace testsupport
