#include "archive/logfolders.h"

#include <QDir>
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

QString appDataFolder()
{
    return appDataFolderOf(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString installationLogs() { return QDir::current().absolutePath() + QStringLiteral("/logs"); }
QString installationCopy() { return QDir::current().absolutePath() + QStringLiteral("/logs_quillon"); }

QString perUserLogs(const QString &appDataFolder) { return hostUserFolder(appDataFolder) + QStringLiteral("Saved"); }
QString perUserCopy(const QString &appDataFolder)
{
    return hostUserFolder(appDataFolder) + QStringLiteral("logs_AppData_Local");
}

} // namespace logfolders
