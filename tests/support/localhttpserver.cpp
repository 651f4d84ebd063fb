#include "localhttpserver.h"

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace testsupport {

namespace {

struct TlsIdentity
{
    QSslCertificate certificate;
    QSslKey key;
};

// Made with the openssl tool the first time a TLS server starts.
const TlsIdentity &selfSignedIdentity()
{
    static const TlsIdentity identity = [] {
        QTemporaryDir folder;
        const QString keyPath = folder.filePath(QStringLiteral("key.pem"));
        const QString certificatePath = folder.filePath(QStringLiteral("certificate.pem"));
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=localhost"), QStringLiteral("-days"), QStringLiteral("1"),
                       QStringLiteral("-keyout"), keyPath, QStringLiteral("-out"), certificatePath});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            qWarning("openssl could not make a test certificate: %s", openssl.readAllStandardError().constData());
        QFile keyFile(keyPath);
        QFile certificateFile(certificatePath);
        keyFile.open(QIODevice::ReadOnly);
        certificateFile.open(QIODevice::ReadOnly);
        return TlsIdentity{QSslCertificate(certificateFile.readAll(), QSsl::Pem),
                           QSslKey(keyFile.readAll(), QSsl::Rsa, QSsl::Pem)};
    }();
    return identity;
}

QByteArray responseBytes(const HttpAnswer &answer)
{
    const int length = answer.announcedLength >= 0 ? answer.announcedLength : answer.body.size();
    return "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + answer.reason + "\r\n"
         + "Content-Length: " + QByteArray::number(length) + "\r\n" + "Connection: close\r\n" + answer.extraHeaders
         + "\r\n" + answer.body;
}

} // namespace

LocalHttpServer::LocalHttpServer(Transport transport, std::optional<HttpAnswer> answer)
    : m_transport(transport), m_answer(std::move(answer))
{
    if (m_transport == Transport::Tls)
        selfSignedIdentity();
    QVERIFY(listen(QHostAddress::LocalHost, 0));
}

QString LocalHttpServer::hostAndPort() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }

quint16 LocalHttpServer::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort(); // free again once the probe is gone
}

void LocalHttpServer::incomingConnection(qintptr descriptor)
{
    if (m_transport == Transport::Plain) {
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
        serve(socket);
        return;
    }
    auto *socket = new QSslSocket(this);
    socket->setSocketDescriptor(descriptor);
    socket->setLocalCertificate(selfSignedIdentity().certificate);
    socket->setPrivateKey(selfSignedIdentity().key);
    serve(socket);
    socket->startServerEncryption();
}

void LocalHttpServer::serve(QTcpSocket *socket)
{
    auto request = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
        request->append(socket->readAll());
        if (!request->contains("\r\n\r\n") || request->isEmpty())
            return;
        // "GET /path HTTP/1.1"
        const QList<QByteArray> requestLine = request->left(request->indexOf("\r\n")).split(' ');
        m_paths << QString::fromLatin1(requestLine.value(1));
        const QByteArray head = request->left(request->indexOf("\r\n\r\n") + 2).toLower();
        const bool body = (head.contains("\r\ncontent-length:") && !head.contains("\r\ncontent-length: 0\r\n"))
            || head.contains("\r\ntransfer-encoding:");
        m_methods << QString::fromLatin1(requestLine.value(0)) + (body ? QStringLiteral(" and a body") : QString());
        request->clear();
        if (!m_answer)
            return;
        socket->write(responseBytes(*m_answer));
        socket->disconnectFromHost();
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

} // namespace testsupport
