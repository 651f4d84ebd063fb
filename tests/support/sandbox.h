#pragma once
// A closed little world for the fault cases: HOME, the XDG folders and
// TMPDIR point into one temporary root, the installation folder lies inside
// it (and is current for the sandbox's life), and a bystander folder beside
// it holds files that nothing may touch. strayChanges() then tells whether
// anything outside the two folders the tool may write to was written,
// created or deleted.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class MainWindow;

namespace testsupport {

class Sandbox
{
public:
    // installName may hold blanks, non-ASCII letters or several levels.
    explicit Sandbox(const QString &installName = QStringLiteral("install"));
    ~Sandbox();
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;

    QString root() const { return m_root.path(); }
    QString installFolder() const { return m_install; }
    // The host application's per-user folder below the AppData folder, as
    // the log collection finds it with this sandbox's HOME.
    QString userFolder() const;
    // Files of somebody else's: targets for links, neighbours of the folders.
    QString bystander() const;

    // Writes a file below the root (folders made as needed).
    void writeFile(const QString &pathBelowRoot, const QByteArray &content) const;
    // Takes the reference picture again, after a case has laid out its files.
    void snapshot();
    // Every path below the root, outside the installation and per-user
    // folders, that differs from the reference picture, with how.
    QStringList strayChanges() const;

private:
    struct Entry
    {
        QString kind; // "file", "dir", "link"
        qint64 size = 0;
        qint64 modified = 0;
        QString linkTarget;
        bool operator==(const Entry &other) const
        {
            return kind == other.kind && size == other.size && modified == other.modified
                && linkTarget == other.linkTarget;
        }
    };
    QHash<QString, Entry> picture() const;
    bool mayChange(const QString &path) const;

    QTemporaryDir m_root;
    QString m_install;
    QString m_previousFolder;
    QList<QPair<QByteArray, QByteArray>> m_savedEnvironment; // name, value ("" and unset alike)
    QList<QByteArray> m_unsetEnvironment;
    QHash<QString, Entry> m_picture;
};

// How one action ended under the watchdog.
struct BoundedRun
{
    qint64 elapsedMs = 0;
    bool cutShort = false; // the watchdog had to close the window to end it
};

// Runs one action slot with a watchdog: when the action has not returned
// after boundMs, the window is closed, which cancels the action, and the
// run counts as cut short.
BoundedRun runBounded(MainWindow &window, void (MainWindow::*slot)(), int boundMs);

} // namespace testsupport
