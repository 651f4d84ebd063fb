#pragma once
// Folder shapes a misbehaving machine leaves: folders nobody may write to
// (also when the tests run as root), trees nested deeper than any path
// may be long, and named pipes.

#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

namespace testsupport {

// Makes the folders unwritable for the guard's life: no entry can be made,
// renamed or removed in them. As root, whose rights ignore permission bits,
// through the immutable attribute; otherwise by taking away write permission.
class ReadOnlyFolders
{
public:
    explicit ReadOnlyFolders(const QStringList &folders);
    ~ReadOnlyFolders();
    ReadOnlyFolders(const ReadOnlyFolders &) = delete;
    ReadOnlyFolders &operator=(const ReadOnlyFolders &) = delete;
    // Empty when the folders are read-only now; otherwise why not.
    QString problem() const { return m_problem; }

private:
    QStringList m_folders;
    bool m_asRoot = false;
    QString m_problem;
};

// Makes levels nested folders below parent, each named name (which should be
// long, so the whole path outgrows what the system takes in one path), with
// a file "level-N.log" in every tenth folder. Made one level at a time
// relative to the last, so the length of the whole path does not matter.
bool makeDeepTree(const QString &parent, const QString &name, int levels);
// Removes a tree however deep it is.
void removeDeepTree(const QString &path);

// Makes a named pipe at path.
bool makePipe(const QString &path);

// Keeps a test from hanging on a pipe: once graceMs have passed, anyone
// still waiting to read from it is given an end-of-file.
class PipeWatch
{
public:
    PipeWatch(const QString &path, int graceMs);
    ~PipeWatch();
    PipeWatch(const PipeWatch &) = delete;
    PipeWatch &operator=(const PipeWatch &) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace testsupport
