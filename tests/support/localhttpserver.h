#pragma once
// A small HTTP or HTTPS server on 127.0.0.1 for the network tests: it
// answers every request with one fixed answer, or accepts and never
// answers, and remembers the paths it was asked for and how. HTTPS uses a
// self-signed certificate made once per test process.

#include <QByteArray>
#include <QStringList>
#include <QTcpServer>

#include <optional>

namespace testsupport {

struct HttpAnswer
{
    int status = 200;
    QByteArray reason = "OK";
    QByteArray body;
    QByteArray extraHeaders;       // whole header lines, each ending in "\r\n"
    int announcedLength = -1;      // Content-Length sent; -1: the body's length
};

class LocalHttpServer : public QTcpServer
{
public:
    enum class Transport { Plain, Tls };

    // Listens on 127.0.0.1 at a free port. Without an answer, requests are
    // read and never answered.
    LocalHttpServer(Transport transport, std::optional<HttpAnswer> answer);

    QString hostAndPort() const;
    const QStringList &requestedPaths() const { return m_paths; }
    // Each request's method, with " and a body" when it carried one.
    const QStringList &requestMethods() const { return m_methods; }

    // A port on 127.0.0.1 that nobody listens on (at the time of the call).
    static quint16 closedPort();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void serve(QTcpSocket *socket);

    Transport m_transport;
    std::optional<HttpAnswer> m_answer;
    QStringList m_paths;
    QStringList m_methods;
};

} // namespace testsupport
