// The server timings of the network diagnosis: the endpoint table with its
// settings overrides, and single timed requests against local servers.

#include "localhttpserver.h"
#include "loopbackonly.h"
#include "installation/settingsfile.h"
#include "network/serverendpoints.h"
#include "network/timedrequest.h"
#include "process/cancellation.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using testsupport::HttpAnswer;
using testsupport::LocalHttpServer;
using Transport = testsupport::LocalHttpServer::Transport;

Q_DECLARE_METATYPE(std::optional<HttpAnswer>)
Q_DECLARE_METATYPE(Transport)

class NetworkServerTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        testsupport::initLogging();
        testsupport::keepRequestsOnLoopback();
    }

    void builtInEndpoints()
    {
        testsupport::InstallFolder folder; // no settings file at all
        const serverendpoints::Plan plan = serverendpoints::plan(settingsfile::read());
        QCOMPARE(plan.transferTimeoutMs, 30000);
        QCOMPARE(plan.targets.size(), 6);
        const QStringList shapes{QStringLiteral("^http://[^/]+\\.example/test/$"),
                                 QStringLiteral("^https://[^/]+\\.example/test/$"),
                                 QStringLiteral("^https://[^/]+\\.example/test$"),
                                 QStringLiteral("^http://[^/]+\\.example/test$"),
                                 QStringLiteral("^https://[^/]+\\.example/tessaly-admin/network/test$"),
                                 QStringLiteral("^http://[^/]+\\.example/network/test$")};
        for (int i = 0; i < 6; ++i) {
            QVERIFY2(QRegularExpression(shapes.at(i)).match(plan.targets.at(i).baseUrl).hasMatch(),
                     qPrintable(plan.targets.at(i).baseUrl));
            QCOMPARE(plan.targets.at(i).test, i < 4 ? serverendpoints::Test::Download : serverendpoints::Test::ApiQuery);
        }
        // The bucket is one host over both schemes.
        QCOMPARE(QUrl(plan.targets.at(2).baseUrl).host(), QUrl(plan.targets.at(3).baseUrl).host());
    }

    void settingsOverrideHostsAndTimeout_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<int>("timeoutMs");
        const QStringList defaults = [] {
            QStringList urls;
            for (const serverendpoints::Endpoint &e : serverendpoints::all())
                urls << e.scheme + QStringLiteral("://") + e.defaultHost + e.basePath;
            return urls;
        }();
        QStringList some = defaults;
        some[1] = QStringLiteral("https://127.0.0.1:8443/test/");
        some[3] = QStringLiteral("http://mirror.example/test");
        QTest::newRow("two hosts, seconds") << QByteArray("assetDownload=127.0.0.1:8443\n"
                                                          "bucketDownloadHttp=mirror.example\n"
                                                          "transferTimeoutSeconds=5\n")
                                            << some << 5000;
        QTest::newRow("the last of a repeated key, without its comment")
            << QByteArray("bucketDownloadHttp=old.example\r\nBucketDownloadHttp = mirror.example   ; moved\r\n"
                          "transferTimeoutSeconds=\"5\"\r\n")
            << [&] { QStringList urls = defaults; urls[3] = QStringLiteral("http://mirror.example/test"); return urls; }()
            << 5000;
        QTest::newRow("fraction of a second") << QByteArray("transferTimeoutSeconds=0.5\n") << defaults << 500;
        QTest::newRow("not a number") << QByteArray("transferTimeoutSeconds=soon\n") << defaults << 30000;
        QTest::newRow("negative") << QByteArray("transferTimeoutSeconds=-2\n") << defaults << 30000;
        QTest::newRow("blank host keeps the built-in one") << QByteArray("cdnDownload=\n") << defaults << 30000;
    }

    void settingsOverrideHostsAndTimeout()
    {
        QFETCH(QByteArray, group);
        QFETCH(QStringList, urls);
        QFETCH(int, timeoutMs);
        testsupport::InstallFolder folder;
        folder.writeFile(QStringLiteral("SupportToolConfig.ini"), "[ipconfig]\n1=127.0.0.1\n[serverHosts]\n" + group);
        const serverendpoints::Plan plan = serverendpoints::plan(settingsfile::read());
        QStringList actual;
        for (const serverendpoints::Target &target : plan.targets)
            actual << target.baseUrl;
        QCOMPARE(actual, urls);
        QCOMPARE(plan.transferTimeoutMs, timeoutMs);
    }

    void outcomes_data()
    {
        QTest::addColumn<Transport>("transport");
        QTest::addColumn<std::optional<HttpAnswer>>("answer");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("done");
        QTest::addColumn<QString>("path");

        const HttpAnswer ok{200, "OK", "{\"any\": \"body\"}", {}, -1};
        QTest::newRow("http 200 download") << Transport::Plain << std::optional<HttpAnswer>(ok)
                                           << QStringLiteral("response.json") << true
                                           << QStringLiteral("/base//response.json");
        QTest::newRow("https 200 self-signed") << Transport::Tls << std::optional<HttpAnswer>(ok)
                                               << QStringLiteral("response.json") << true
                                               << QStringLiteral("/base//response.json");
        QTest::newRow("https 200 api, empty body") << Transport::Tls << std::optional<HttpAnswer>(HttpAnswer{})
                                                   << QString() << true << QStringLiteral("/base/");
        QTest::newRow("404") << Transport::Plain << std::optional<HttpAnswer>(HttpAnswer{404, "Not Found", "no", {}, -1})
                             << QStringLiteral("response.json") << false << QStringLiteral("/base//response.json");
        QTest::newRow("https 404") << Transport::Tls
                                   << std::optional<HttpAnswer>(HttpAnswer{404, "Not Found", {}, {}, -1}) << QString()
                                   << false << QStringLiteral("/base/");
        QTest::newRow("301 is not followed")
            << Transport::Plain
            << std::optional<HttpAnswer>(HttpAnswer{301, "Moved Permanently", {}, "Location: /elsewhere\r\n", -1})
            << QString() << false << QStringLiteral("/base/");
        QTest::newRow("body cut short") << Transport::Plain
                                        << std::optional<HttpAnswer>(HttpAnswer{200, "OK", "partial", {}, 1000})
                                        << QString() << false << QStringLiteral("/base/");
        // The network library decodes these itself; the length announced is
        // that of the encoded body, which may be longer (a tiny body) or
        // shorter than what arrives decoded.
        const QByteArray small = qCompress(QByteArray("ok")).mid(4);
        const QByteArray large = qCompress(QByteArray(20000, 'a')).mid(4);
        QTest::newRow("deflated small body")
            << Transport::Plain
            << std::optional<HttpAnswer>(HttpAnswer{200, "OK", small, "Content-Encoding: deflate\r\n", -1})
            << QString() << true << QStringLiteral("/base/");
        QTest::newRow("deflated large body")
            << Transport::Plain
            << std::optional<HttpAnswer>(HttpAnswer{200, "OK", large, "Content-Encoding: deflate\r\n", -1})
            << QString() << true << QStringLiteral("/base/");
        QTest::newRow("never answers") << Transport::Plain << std::optional<HttpAnswer>() << QString() << false
                                       << QStringLiteral("/base/");
    }

    void outcomes()
    {
        QFETCH(Transport, transport);
        QFETCH(std::optional<HttpAnswer>, answer);
        QFETCH(QString, fileName);
        QFETCH(bool, done);
        QFETCH(QString, path);

        LocalHttpServer server(transport, answer);
        const QString scheme = transport == Transport::Tls ? QStringLiteral("https") : QStringLiteral("http");
        QElapsedTimer clock;
        clock.start();
        const int result = timedRequest(scheme + QStringLiteral("://") + server.hostAndPort() + QStringLiteral("/base/"),
                                        fileName, 700);
        QVERIFY(clock.elapsed() < 5000);
        if (done) {
            QVERIFY2(result >= 0, qPrintable(QString::number(result)));
            QVERIFY(result <= clock.elapsed());
        } else {
            QCOMPARE(result, -1);
        }
        QCOMPARE(server.requestedPaths(), QStringList{path});
    }

    // The network library sometimes ends a body cut short by a closing
    // connection without an error; only the announced length tells.
    void wholeBodyHoldsTheAnnouncedLength_data()
    {
        QTest::addColumn<qint64>("received");
        QTest::addColumn<QVariant>("announced");
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<bool>("whole");

        QTest::newRow("as announced") << qint64(1000) << QVariant(qint64(1000)) << QByteArray() << true;
        QTest::newRow("cut short") << qint64(7) << QVariant(qint64(1000)) << QByteArray() << false;
        QTest::newRow("empty, announced") << qint64(0) << QVariant(qint64(1000)) << QByteArray() << false;
        QTest::newRow("empty body") << qint64(0) << QVariant(qint64(0)) << QByteArray() << true;
        QTest::newRow("no length announced") << qint64(7) << QVariant() << QByteArray() << true;
        QTest::newRow("identity") << qint64(7) << QVariant(qint64(1000)) << QByteArray(" Identity") << false;
        QTest::newRow("gzip, decoded longer") << qint64(5000) << QVariant(qint64(40)) << QByteArray("gzip") << true;
        QTest::newRow("deflate, decoded shorter") << qint64(2) << QVariant(qint64(10)) << QByteArray("deflate") << true;
    }

    void wholeBodyHoldsTheAnnouncedLength()
    {
        QFETCH(qint64, received);
        QFETCH(QVariant, announced);
        QFETCH(QByteArray, encoding);
        QFETCH(bool, whole);
        QCOMPARE(wholeBody(received, announced, encoding), whole);
    }

    void expiredRequestIsCutAtTheLimit()
    {
        LocalHttpServer silent(Transport::Tls, std::nullopt);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(timedRequest(QStringLiteral("https://") + silent.hostAndPort() + QStringLiteral("/test"), QString(), 400),
                 -1);
        QVERIFY(clock.elapsed() >= 400);
        QVERIFY(clock.elapsed() < 3000);
    }

    void refusedConnectionFails()
    {
        QCOMPARE(timedRequest(QStringLiteral("http://127.0.0.1:%1/test").arg(LocalHttpServer::closedPort()),
                              QStringLiteral("response.json"), 2000),
                 -1);
    }

    void closingTheWindowStopsTheWait()
    {
        LocalHttpServer silent(Transport::Plain, std::nullopt);
        QTimer::singleShot(100, [] { cancellation::request(); });
        QElapsedTimer clock;
        clock.start();
        const int result = timedRequest(QStringLiteral("http://") + silent.hostAndPort() + QStringLiteral("/test"),
                                        QString(), 20000);
        const qint64 waited = clock.elapsed();
        // A request begun after the close does not even go out.
        const int later = timedRequest(QStringLiteral("http://") + silent.hostAndPort() + QStringLiteral("/x"),
                                       QString(), 20000);
        cancellation::reset();
        QCOMPARE(result, -1);
        QVERIFY(waited < 3000);
        QCOMPARE(later, -1);
        QCOMPARE(silent.requestedPaths(), QStringList{QStringLiteral("/test")});
    }
};

QTEST_MAIN(NetworkServerTest)
#include "tst_networkserver.moc"
