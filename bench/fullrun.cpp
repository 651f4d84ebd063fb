#include "fullrun.h"

#include "barespawn.h"
#include "localhttpserver.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

namespace bench {

bool fullRun(const Settings &settings, const QString &installation, const QString &action)
{
    QDir().mkpath(installation);
    QFile ini(installation + QStringLiteral("/SupportToolConfig.ini"));
    QString hosts;
    for (const char *key : {"cdnDownload", "assetDownload", "bucketDownloadHttps", "bucketDownloadHttp", "apiQuery",
                            "networkTestQuery"})
        hosts += QStringLiteral("%1=127.0.0.1:%2\n").arg(QLatin1String(key)).arg(testsupport::LocalHttpServer::closedPort());
    if (!ini.open(QIODevice::WriteOnly)
        || ini.write((QStringLiteral("[ipconfig]\n1=127.0.0.1\n[serverHosts]\n") + hosts).toUtf8()) <= 0)
        return false;
    ini.close();
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(installation + QStringLiteral("-data")));
    const Spawned run = spawnAndWait(settings.batchProgram,
                                     {QStringLiteral("--install-dir"), installation, QStringLiteral("--accept-terms"), action},
                                     SpawnOptions{true, false});
    if (dataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", dataHome);
    if (run.exitCode != 0)
        QTextStream(stderr) << "SupportToolBatch " << action << " failed: " << run.errors.right(2000) << Qt::endl;
    return run.exitCode == 0;
}

} // namespace bench
