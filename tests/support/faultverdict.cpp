#include "faultverdict.h"

#include "localhttpserver.h"
#include "networksettings.h"
#include "sandbox.h"
#include "testsupport.h"
#include "windowprobe.h"

#include <QDir>

namespace testsupport {

QStringList brokenPromises(const QWidget &window, const BoundedRun &run, const Sandbox &sandbox)
{
    QStringList broken;
    if (run.cutShort)
        broken << QStringLiteral("the action had to be stopped after %1 ms").arg(run.elapsedMs);
    if (!idle(window))
        broken << QStringLiteral("the buttons or the busy indicator did not come back");
    for (const QString &change : sandbox.strayChanges())
        broken << QStringLiteral("stray change: ") + change;
    return broken;
}

QByteArray unreachableServerHosts()
{
    const QString host = QStringLiteral("127.0.0.1:%1").arg(LocalHttpServer::closedPort());
    QStringList hosts;
    for (int i = 0; i < 6; ++i)
        hosts << host;
    return serverHostsGroup(hosts, 2);
}

QString allReportsText()
{
    QString text;
    for (const QString &file : reportFiles(QString()))
        text += QString::fromUtf8(readFile(file));
    return text;
}

} // namespace testsupport
