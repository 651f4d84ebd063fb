#include "serverprocess.h"

#include "localhttpserver.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <unistd.h>

namespace bench {

namespace {

QByteArray bodyText(qint64 bytes)
{
    const QByteArray piece = "{\"chunk\":\"0123456789abcdefghijklmnopqrstuvwxyz\",\"note\":\"network speed test\"}\n";
    QByteArray body;
    body.reserve(int(bytes));
    while (body.size() + piece.size() <= bytes)
        body += piece;
    body += QByteArray(int(bytes - body.size()), ' ');
    return body;
}

} // namespace

int serveHttp(qint64 bodyBytes, bool tls)
{
    testsupport::HttpAnswer answer;
    answer.body = bodyText(bodyBytes);
    using Transport = testsupport::LocalHttpServer::Transport;
    testsupport::LocalHttpServer server(tls ? Transport::Tls : Transport::Plain, answer);
    if (!server.isListening())
        return 1;
    QTextStream(stdout) << server.serverPort() << Qt::endl;
    // Ends with the benchmark that started it, however that one ends.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [] {
        char byte;
        if (::read(STDIN_FILENO, &byte, 1) <= 0)
            QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}

ServerProcess::ServerProcess(const QString &selfProgram, qint64 bodyBytes, bool tls)
{
    m_process.start(selfProgram, {tls ? QStringLiteral("--serve-https") : QStringLiteral("--serve-http"),
                                  QString::number(bodyBytes)});
    // The first line of its output is its port.
    if (!m_process.waitForReadyRead(30000)) {
        m_error = QStringLiteral("The local HTTP server did not start: ") +
                  QString::fromLocal8Bit(m_process.readAllStandardError());
        return;
    }
    m_hostAndPort = QStringLiteral("127.0.0.1:") + QString::fromLatin1(m_process.readLine().trimmed());
}

ServerProcess::~ServerProcess()
{
    m_process.closeWriteChannel(); // the server's cue to end
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

} // namespace bench
