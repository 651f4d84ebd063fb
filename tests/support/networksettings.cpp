#include "networksettings.h"

#include "localhttpserver.h"
#include "network/serverendpoints.h"

namespace testsupport {

QByteArray serverHostsGroup(const QStringList &hosts, int timeoutSeconds)
{
    QByteArray group = '[' + serverendpoints::settingsGroup().toLatin1() + "]\n";
    const QVector<serverendpoints::Endpoint> &endpoints = serverendpoints::all();
    for (int i = 0; i < hosts.size() && i < endpoints.size(); ++i)
        group += endpoints.at(i).hostKey.toLatin1() + '=' + hosts.at(i).toLatin1() + '\n';
    return group + serverendpoints::timeoutKey().toLatin1() + '=' + QByteArray::number(timeoutSeconds) + '\n';
}

QByteArray closedServerHostsGroup(int timeoutSeconds)
{
    const QString closed = QStringLiteral("127.0.0.1:%1").arg(LocalHttpServer::closedPort());
    return serverHostsGroup(QStringList{closed, closed, closed, closed, closed, closed}, timeoutSeconds);
}

QByteArray addressGroup(const QStringList &targets)
{
    QByteArray group = "[ipconfig]\n";
    for (int i = 0; i < targets.size(); ++i)
        group += QByteArray::number(i + 1) + '=' + targets.at(i).toLatin1() + '\n';
    return group;
}

} // namespace testsupport
