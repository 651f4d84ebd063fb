#pragma once
// A local HTTP or HTTPS server (the tests' LocalHttpServer on 127.0.0.1)
// run by this very program in a process of its own, so that no client the
// benchmarks measure shares a thread with it. It ends with this object.

#include <QProcess>
#include <QString>

namespace bench {

class ServerProcess
{
public:
    // Starts the server answering every request with bodyBytes of text.
    ServerProcess(const QString &selfProgram, qint64 bodyBytes, bool tls);
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // "127.0.0.1:PORT"; empty when the server did not start (then see error()).
    QString hostAndPort() const { return m_hostAndPort; }
    QString error() const { return m_error; }

private:
    QProcess m_process;
    QString m_hostAndPort;
    QString m_error;
};

// The server's side: answers every request on 127.0.0.1 with bodyBytes of
// text, prints its port, and ends when its standard input does.
int serveHttp(qint64 bodyBytes, bool tls);

} // namespace bench
