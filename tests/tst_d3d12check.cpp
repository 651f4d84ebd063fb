// The Direct3D 12 check through the inspection object, with fixture probe
// programs first on the search path: a probe that answers gives exactly the
// records of its facts; one that crashes, hangs, babbles or is missing gives
// the records of a failed creation and one warning saying why; a cancelled
// one gives nothing at all.

#include "inspection/displaysystemrelatedinfo.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "recordsummary.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace testsupport;

namespace {
const char *const kPrefix = "./logs/SupportTool/SupportLog_d3d12_";
constexpr int kCommandLimitMs = 500;

QList<Record> reportRecords()
{
    const QStringList files = reportFiles(QStringLiteral("SupportLog_d3d12_"));
    return files.size() == 1 ? recordsOf(files.first()) : QList<Record>();
}

QString inspection(int line, char level = 'I')
{
    return QStringLiteral("%1 displaysystemrelatedinfo.cpp:%2").arg(QLatin1Char(level)).arg(line);
}

QList<Record> runCheck()
{
    records::switchReport(kPrefix);
    displaysystemrelatedinfo::instance()->checkD3D12Support();
    return reportRecords();
}

const QString kNotSupport = QStringLiteral("D3D_FEATURE_LEVEL_12_0 not support");
} // namespace

class D3D12CheckTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Read once by the runner, so set before the first check.
        qputenv("SUPPORTTOOL_COMMAND_TIMEOUT_MS", QByteArray::number(kCommandLimitMs));
        initLogging();
    }

    void answeringProbe_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("places");
        QTest::addColumn<QString>("last");
        QTest::newRow("ray tracing") << QByteArray("creation=0x00000000 query=0x00000000 tier=10")
                                     << QStringList{inspection(483), inspection(489), inspection(495)}
                                     << QStringLiteral("D3D12_FEATURE_DATA_D3D12_OPTIONS5 support\n") + records::bareSeparator();
        QTest::newRow("no ray tracing") << QByteArray("creation=0x00000000 query=0x00000000 tier=0")
                                        << QStringList{inspection(483), inspection(489), inspection(499)}
                                        << QStringLiteral("D3D12_FEATURE_DATA_D3D12_OPTIONS5 not support\n")
                                               + records::bareSeparator();
        QTest::newRow("no device") << QByteArray("creation=0x80070057 query=0x00000000 tier=0")
                                   << QStringList{inspection(483), inspection(486)} << kNotSupport;
    }
    void answeringProbe()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, places);
        QFETCH(QString, last);
        InstallFolder folder;
        FixturePath fixtures;
        // What a driver writes on standard error is not the report's concern.
        fixtures.addProgram(QStringLiteral("d3d12probe"), line + "\n", "vkd3d: some driver chatter\n");
        const QList<Record> written = runCheck();
        QCOMPARE(placesOf(written), places);
        QCOMPARE(written.first().text, QStringLiteral("CHECKING D3D12......"));
        QCOMPARE(written.last().text, last);
    }

    void failingProbe_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("reason");
        QTest::newRow("crashes") << QByteArray("echo 'creation=0x00000000 query=0x00000000 tier=10'\nkill -SEGV $$")
                                 << QStringLiteral("crashed");
        QTest::newRow("garbage") << QByteArray("echo 'no Vulkan here'") << QStringLiteral("no readable answer");
        QTest::newRow("fails") << QByteArray("echo 'creation=0x00000000 query=0x00000000 tier=10'\nexit 1")
                               << QStringLiteral("exit code 1");
        QTest::newRow("hangs") << QByteArray("exec sleep 30") << QStringLiteral("did not answer within 0.5 s");
    }
    void failingProbe()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, reason);
        InstallFolder folder;
        FixturePath fixtures;
        fixtures.addScript(QStringLiteral("d3d12probe"), body);
        QElapsedTimer clock;
        clock.start();
        const QList<Record> written = runCheck();
        QVERIFY2(clock.elapsed() < 10000, "the probe's time limit was not kept");
        QCOMPARE(placesOf(written), (QStringList{inspection(481, 'W'), inspection(483), inspection(486)}));
        QVERIFY2(written.first().text.contains(reason), qPrintable(written.first().text));
        QCOMPARE(written.last().text, kNotSupport);
    }

    // With neither a fixture nor the stand-ins on the path there is no probe.
    void missingProbe()
    {
        InstallFolder folder;
        QTemporaryDir empty;
        const QByteArray previous = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(empty.path()));
        const QList<Record> written = runCheck();
        qputenv("PATH", previous);
        QCOMPARE(placesOf(written), (QStringList{inspection(481, 'W'), inspection(483), inspection(486)}));
        QVERIFY2(written.first().text.startsWith(QStringLiteral("Could not start the Direct3D 12 probe")),
                 qPrintable(written.first().text));
    }

    // Closing the window while the probe runs: no finding, no warning.
    void cancelledProbe()
    {
        InstallFolder folder;
        FixturePath fixtures;
        fixtures.addScript(QStringLiteral("d3d12probe"), "exec sleep 30");
        QTimer::singleShot(100, [] { cancellation::request(); });
        records::switchReport(kPrefix);
        records::info(records::kMainWindow, 1, QStringLiteral("before the check"));
        displaysystemrelatedinfo::instance()->checkD3D12Support();
        const bool cancelled = cancellation::requested();
        cancellation::reset();
        QVERIFY(cancelled);
        QCOMPARE(placesOf(reportRecords()), QStringList{QStringLiteral("I mainwindow.cpp:1")});
    }
};

QTEST_MAIN(D3D12CheckTest)
#include "tst_d3d12check.moc"
