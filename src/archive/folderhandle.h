#pragma once
// One folder of a log tree or of its copy, held open so that everything
// below it is reached from it one name at a time and never through a link,
// even one put in place after the tree was listed. On Unix a folder is an
// open descriptor and names are the bytes the file system holds (a name
// that is not valid UTF-8 has no QString that maps back to it); on Windows
// names are UTF-16, carried as UTF-8, and a folder is its path.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <atomic>

namespace folderhandle {

struct Listed
{
    QByteArray name;
    bool folder = false;
};

enum class FileCopy { Copied, SourceFailed, TargetFailed, Cancelled };

struct FileCopyResult
{
    FileCopy result = FileCopy::Copied;
    QString why; // for SourceFailed and TargetFailed
};

class Folder;

// Copies the plain file name in from to copyName in to, which must not
// exist yet. Holes of a sparse file stay holes. A copy that fails or is
// cancelled part way is removed again, so no cut-off file is left behind.
FileCopyResult copyFile(const Folder &from, const QByteArray &name, const Folder &to, const QByteArray &copyName,
                        const std::atomic<bool> *stop);

class Folder
{
public:
    Folder() = default;
    ~Folder();
    Folder(Folder &&other) noexcept;
    Folder &operator=(Folder &&other) noexcept;
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    // The folder at path. A log folder may itself be a link (moved to
    // another drive) and is followed; a copy folder is not (followLink false).
    static Folder open(const QString &path, bool followLink, QString *why);
    // The folder name inside this one, or below it ("a/b"), without passing
    // through a link; an empty name gives this folder again.
    Folder below(const QByteArray &relativePath, QString *why) const;
    bool isOpen() const;

    // The visible plain files and folders in it, sorted by name: hidden
    // entries, links, pipes, sockets and devices are not listed.
    bool list(QVector<Listed> &found, QString *why) const;
    bool makeFolder(const QByteArray &name, QString *why) const;
    // Removes everything inside it, a link as the link itself, never what
    // it points to. False when something could not be removed.
    bool empty(QString *why) const;

private:
    friend FileCopyResult copyFile(const Folder &, const QByteArray &, const Folder &, const QByteArray &,
                                   const std::atomic<bool> *);
#ifdef Q_OS_WIN
    QString m_path;
#else
    int m_descriptor = -1;
#endif
};

} // namespace folderhandle
