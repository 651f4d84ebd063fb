#include "archivesupport.h"

#include "archive/logfolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace testsupport {

#ifdef Q_OS_WIN

namespace {
QString applicationFolder(const QString &appData) { return appData + QStringLiteral("Local/quillon"); }

bool underWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }
} // namespace

// What an earlier test left there (Sandbox makes the folder) goes first.
UserDataFolder::UserDataFolder() : m_appData(logfolders::appDataFolder())
{
    if (m_appData.isEmpty() || !underWine())
        qFatal("The tests would touch this user's own %s: they run only in a throw-away Wine prefix",
               qPrintable(applicationFolder(m_appData)));
    QDir(applicationFolder(m_appData)).removeRecursively();
}

UserDataFolder::~UserDataFolder() { QDir(applicationFolder(m_appData)).removeRecursively(); }

#else

UserDataFolder::UserDataFolder()
    : m_appData(m_dir.path() + QStringLiteral("/.local/")), m_previousDataHome(qgetenv("XDG_DATA_HOME")),
      m_previousHome(qgetenv("HOME"))
{
    QDir(m_dir.path()).mkpath(QStringLiteral(".local/share"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/.local/share")));
    qputenv("HOME", QFile::encodeName(m_dir.path()));
}

UserDataFolder::~UserDataFolder()
{
    if (m_previousDataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_previousDataHome);
    qputenv("HOME", m_previousHome);
}

#endif

SearchPathOverride::SearchPathOverride(const QStringList &folders) : m_previous(qgetenv("PATH"))
{
    QStringList native;
    for (const QString &folder : folders)
        native << QDir::toNativeSeparators(folder);
    qputenv("PATH", QFile::encodeName(native.join(QDir::listSeparator())));
}

SearchPathOverride::~SearchPathOverride() { qputenv("PATH", m_previous); }

void writeTree(const QString &root, const QMap<QString, QByteArray> &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = root + QLatin1Char('/') + it.key();
        if (path.endsWith(QLatin1Char('/'))) {
            QDir().mkpath(path);
            continue;
        }
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(it.value());
    }
}

QStringList treeBelow(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        it.next();
        const QString relative = base.relativeFilePath(it.filePath());
        entries << (it.fileInfo().isDir() ? relative + QLatin1Char('/') : relative);
    }
    entries.sort();
    return entries;
}

QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

QString systemSevenZip()
{
    for (const char *name : {"7zz", "7z", "7za"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    // The tests may have narrowed PATH; the system's folders still hold it.
    for (const char *name : {"7zz", "7z", "7za"}) {
        const QString found =
            QStandardPaths::findExecutable(QString::fromLatin1(name), {QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QStringList archiveEntries(const QString &archivePath)
{
    QProcess lister;
    // In UTF-8 whatever the console's code page (Windows' would turn letters it lacks into "?").
    lister.start(systemSevenZip(), {QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("-ba"),
                                    QStringLiteral("-sccUTF-8"), archivePath});
    if (!lister.waitForFinished(60000))
        return {};
    QStringList entries;
    const QString listing = QString::fromUtf8(lister.readAllStandardOutput());
    for (const QString &line : listing.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Path = ")))
            entries << QDir::fromNativeSeparators(line.mid(7).trimmed());
    }
    entries.sort();
    return entries;
}

bool makeArchive(const QString &archivePath, const QStringList &files)
{
    QProcess maker;
    maker.start(systemSevenZip(), QStringList{QStringLiteral("a"), archivePath} + files);
    return maker.waitForFinished(60000) && maker.exitStatus() == QProcess::NormalExit && maker.exitCode() == 0;
}

} // namespace testsupport
