// The graphics capability checks on fixed answers: the TDR values as the
// registry query prints them, and every branch of the Direct3D 12 decision.

#include "d3d12facts.h"
#include "inspection/windowscommands.h"
#include "shaping/graphicsshaping.h"

#include <QtTest>

using Records = QVector<records::CheckRecord>;
Q_DECLARE_METATYPE(Records)

using testsupport::facts;

namespace {
const QString kSeparator = QLatin1Char('\n') + QString(96, QLatin1Char('-'));
constexpr std::int32_t kOk = 0;
constexpr std::int32_t kFail = std::int32_t(0x80004005);       // E_FAIL
constexpr std::int32_t kInvalidArg = std::int32_t(0x80070057); // E_INVALIDARG

} // namespace

class GraphicsShapingTest : public QObject
{
    Q_OBJECT

private slots:
    void tdrValues_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both values") << QStringLiteral("2\r\n10\r\n") << QStringLiteral("TdrDelay: 2\nTdrDdiDelay: 10");
        QTest::newRow("one value") << QStringLiteral("8\r\n") << QStringLiteral("TdrDelay: 8\nTdrDdiDelay: ");
        QTest::newRow("none") << QString() << QStringLiteral("TdrDelay: \nTdrDdiDelay: ");
        QTest::newRow("taken as printed") << QStringLiteral(" 2 \r\n10\n\r\n") << QStringLiteral("TdrDelay:  2 \nTdrDdiDelay: 10\n");
    }
    void tdrValues()
    {
        QFETCH(QString, output);
        QFETCH(QString, expected);
        const records::ShapedCheck shaped = graphicsshaping::tdrValues(output);
        QCOMPARE(shaped.text, expected);
        QCOMPARE(shaped.records,
                 (Records{{324, QStringLiteral("CHECKING GRAPHIC DRIVER TDR INFORMATION......\n") + expected + kSeparator}}));
    }

    void tdrCommand()
    {
        const QStringList arguments = windowscommands::tdrValues();
        QCOMPARE(arguments.size(), 5);
        const QString path = arguments.at(2);
        QCOMPARE(path.size(), 79);
        QVERIFY(path.startsWith(QStringLiteral("Registry::HKEY_LOCAL_MACHINE\\SYSTEM\\")));
        QVERIFY(path.endsWith(QStringLiteral("\\GraphicsDrivers\\ ")));
        QCOMPARE(arguments.at(4), QStringLiteral("TdrDelay,TdrDdiDelay"));
    }

    void d3d12Records_data()
    {
        QTest::addColumn<int>("creation");
        QTest::addColumn<int>("query");
        QTest::addColumn<int>("tier");
        QTest::addColumn<Records>("expected");

        const records::CheckRecord heading{483, QStringLiteral("CHECKING D3D12......")};
        const records::CheckRecord noDevice{486, QStringLiteral("D3D_FEATURE_LEVEL_12_0 not support")};
        const records::CheckRecord device{489, QStringLiteral("D3D_FEATURE_LEVEL_12_0 support")};
        const records::CheckRecord rayTracing{495, QStringLiteral("D3D12_FEATURE_DATA_D3D12_OPTIONS5 support") + kSeparator};
        const records::CheckRecord noRayTracing{499,
                                                QStringLiteral("D3D12_FEATURE_DATA_D3D12_OPTIONS5 not support") + kSeparator};

        QTest::newRow("no device") << int(kFail) << int(kOk) << 0 << Records{heading, noDevice};
        QTest::newRow("no 12_0 device, facts of a query ignored") << int(kInvalidArg) << int(kOk) << 11 << Records{heading, noDevice};
        QTest::newRow("12_0 without ray tracing") << int(kOk) << int(kOk) << 0 << Records{heading, device, noRayTracing};
        QTest::newRow("tier 1.0") << int(kOk) << int(kOk) << 10 << Records{heading, device, rayTracing};
        QTest::newRow("tier 1.1") << int(kOk) << int(kOk) << 11 << Records{heading, device, rayTracing};
        QTest::newRow("just below tier 1.0") << int(kOk) << int(kOk) << 9 << Records{heading, device, noRayTracing};
        QTest::newRow("query failed") << int(kOk) << int(kInvalidArg) << 10 << Records{heading, device, noRayTracing};
        QTest::newRow("success code other than S_OK") << 1 << 1 << 10 << Records{heading, device, rayTracing};
    }
    void d3d12Records()
    {
        QFETCH(int, creation);
        QFETCH(int, query);
        QFETCH(int, tier);
        QFETCH(Records, expected);
        QCOMPARE(graphicsshaping::d3d12Records(facts(creation, query, tier)), expected);
    }
};

QTEST_APPLESS_MAIN(GraphicsShapingTest)
#include "tst_graphicsshaping.moc"
