#include "archive/logfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace logfolders {

namespace {
QString hostUserFolder(const QString &appDataFolder) { return appDataFolder + QStringLiteral("Local/quillon/"); }
} // namespace

QString appDataFolderOf(const QString &appDataLocation)
{
    QString path = appDataLocation;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    for (int level = 0; level < 2; ++level) {
        const int slash = path.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return QString();
        path.truncate(slash);
    }
    return path + QLatin1Char('/');
}

QString dataHomeOf(const QString &xdgDataHome, const QString &home)
{
    const QString fallback = QDir::cleanPath(home + QStringLiteral("/.local/share"));
    if (!QDir::isAbsolutePath(xdgDataHome))
        return fallback;
    const QString dataHome = QDir::cleanPath(xdgDataHome);
    const QFileInfo info(dataHome);
    // "/" or "/share" would put the per-user folder at the root, a file
    // ("/etc/passwd") in its folder: neither is a data folder of the user's.
    if ((info.exists() && !info.isDir()) || appDataFolderOf(dataHome + QStringLiteral("/x")) == QStringLiteral("/"))
        return fallback;
    return dataHome;
}

QString appDataFolder()
{
#ifdef Q_OS_WIN
    return appDataFolderOf(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
#else
    return appDataFolderOf(dataHomeOf(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath())
                           + QStringLiteral("/SupportTool"));
#endif
}

QString installationLogs() { return QDir::current().absolutePath() + QStringLiteral("/logs"); }
QString installationCopy() { return QDir::current().absolutePath() + QStringLiteral("/logs_quillon"); }

QString perUserLogs(const QString &appDataFolder) { return hostUserFolder(appDataFolder) + QStringLiteral("Saved"); }
QString perUserCopy(const QString &appDataFolder)
{
    return hostUserFolder(appDataFolder) + QStringLiteral("logs_AppData_Local");
}

} // namespace logfolders
