#pragma once
// Scaffolding of the log-collection and archive tests: a throw-away user
// data folder, a replaced search path, folder trees written and listed, and
// the entries of a zip archive as the system's 7-Zip lists them.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// Points the user's data folders (XDG_DATA_HOME, HOME) into a temporary
// folder for the guard's life, so the per-user log folder lies there. On
// Windows the system names the AppData folder, whatever the environment
// says: there the guard uses the real one (under Wine that of the run's
// throw-away prefix), stops the test program at once if it does not run
// under Wine, and removes the host application's folder ("Local/quillon")
// at its start and end; the tests that reach that folder take turns
// (tests/CMakeLists.txt).
class UserDataFolder
{
public:
    UserDataFolder();
    ~UserDataFolder();
    // Where the collection finds the AppData folder: two levels above the
    // application-data location, which on Linux is XDG_DATA_HOME + "/" +
    // program name.
    QString appDataFolder() const { return m_appData; }
    QString perUserLogs() const { return appDataFolder() + QStringLiteral("Local/quillon/Saved"); }
    QString perUserCopy() const { return appDataFolder() + QStringLiteral("Local/quillon/logs_AppData_Local"); }

private:
    QTemporaryDir m_dir;
    QString m_appData;
    QByteArray m_previousDataHome;
    QByteArray m_previousHome;
};

// Replaces PATH with exactly the given folders for the guard's life.
class SearchPathOverride
{
public:
    explicit SearchPathOverride(const QStringList &folders);
    ~SearchPathOverride();

private:
    QByteArray m_previous;
};

// Writes each file (relative path → content) below root, making folders.
void writeTree(const QString &root, const QMap<QString, QByteArray> &files);
// Every file and folder below root, hidden ones included, as sorted
// relative paths; folders end in "/".
QStringList treeBelow(const QString &root);
// The names directly in a folder, hidden and special entries included, sorted.
QStringList folderEntries(const QString &folder);

// The system's 7-Zip (7zz, 7z or 7za), or an empty text.
QString systemSevenZip();
// The paths stored in a zip archive, sorted, with "/" separators.
QStringList archiveEntries(const QString &archivePath);
// Makes an archive holding the given files of the current folder.
bool makeArchive(const QString &archivePath, const QStringList &files);

} // namespace testsupport
