#include "loopbackonly.h"

#include "localhttpserver.h"

#include <QHostAddress>
#include <QNetworkProxyFactory>

namespace testsupport {

namespace {

class LoopbackOnlyProxyFactory : public QNetworkProxyFactory
{
public:
    LoopbackOnlyProxyFactory() : m_deadEnd(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), LocalHttpServer::closedPort())
    {
    }

    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        const QString host = query.peerHostName();
        const QHostAddress address(host);
        const bool local = host == QLatin1String("localhost") || (!address.isNull() && address.isLoopback());
        return {local ? QNetworkProxy(QNetworkProxy::NoProxy) : m_deadEnd};
    }

private:
    QNetworkProxy m_deadEnd;
};

} // namespace

void keepRequestsOnLoopback()
{
    QNetworkProxyFactory::setApplicationProxyFactory(new LoopbackOnlyProxyFactory); // the toolkit owns it
}

} // namespace testsupport
