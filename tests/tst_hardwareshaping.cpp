// The cuts of the hardware checks on fixed Windows-shaped outputs: normal
// listings, outputs too short for their fixed indices, and the boundaries.

#include "hardwaresamples.h"
#include "inspection/windowscommands.h"
#include "shaping/hardwareshaping.h"

#include <QtTest>

using hardwareshaping::VolumeFigures;
using Records = QVector<records::CheckRecord>;

Q_DECLARE_METATYPE(QVector<VolumeFigures>)
Q_DECLARE_METATYPE(QVector<QSize>)

namespace {
constexpr qint64 kGiB = Q_INT64_C(1) << 30;
const QString kSeparator = QLatin1Char('\n') + QString(96, QLatin1Char('-'));
QString text(const QByteArray &bytes) { return QString::fromUtf8(bytes); }
} // namespace

class HardwareShapingTest : public QObject
{
    Q_OBJECT

private slots:
    void processor_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("expected");
        QTest::newRow("WMI listing") << text(hardwaresamples::kProcessor)
                                     << QStringLiteral("Caption           : Intel64 Family 6 Model 158 Stepping 10\n"
                                                       "DeviceID          : CPU0\n"
                                                       "Manufacturer      : GenuineIntel\n"
                                                       "MaxClockSpeed     : 3701\n"
                                                       "Name              : Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz\n"
                                                       "SocketDesignation : U3E1");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("12 characters") << QStringLiteral("\r\n\r\nabcd\r\n\r\n") << QString();
        QTest::newRow("fewer than 12") << QStringLiteral("\r\n\r\n\r\n") << QString();
        QTest::newRow("13 characters") << QStringLiteral("\r\n\r\nX\r\n\r\n\r\n\r\n") << QStringLiteral("X");
        QTest::newRow("carriage returns inside") << QStringLiteral("\r\n\r\na\r\rb\r\n\r\n\r\n\r\n")
                                                 << QStringLiteral("ab");
    }
    void processor()
    {
        QFETCH(QString, output);
        QFETCH(QString, expected);
        const records::ShapedCheck shaped = hardwareshaping::processor(output);
        QCOMPARE(shaped.text, expected);
        QCOMPARE(shaped.records, (Records{{76, QStringLiteral("CHECKING CPU INFORMATION......\n") + expected + kSeparator}}));
    }

    void adapterText_data()
    {
        QTest::addColumn<QString>("adapterList");
        QTest::addColumn<QString>("memory");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one adapter") << text(hardwaresamples::kVideoControllers) << text(hardwaresamples::kAdapterMemory)
                                     << QStringLiteral("Name : NVIDIA GeForce RTX 3080\nDriverVersion : 31.0.15.2225\n"
                                                       "Total GPU Memory : 10GB");
        QTest::newRow("no memory figure") << text(hardwaresamples::kVideoControllers) << QString()
                                          << QStringLiteral("Name : NVIDIA GeForce RTX 3080\nDriverVersion : 31.0.15.2225\n"
                                                            "Total GPU Memory : GB");
        QTest::newRow("line 4 not empty")
            << QStringLiteral("\r\n\r\nName          : Intel(R) UHD Graphics 630\r\nDriverVersion : 27.20.100.8681\r\n"
                              "Status        :   OK\r\n\r\n")
            << QStringLiteral(" 2 \r\n")
            << QStringLiteral("Name : Intel(R) UHD Graphics 630\nDriverVersion : 27.20.100.8681\nStatus : OK"
                              "Total GPU Memory : 2GB");
        QTest::newRow("no output") << QString() << QString() << QStringLiteral("\n\nTotal GPU Memory : GB");
    }
    void adapterText()
    {
        QFETCH(QString, adapterList);
        QFETCH(QString, memory);
        QFETCH(QString, expected);
        QCOMPARE(hardwareshaping::adapterText(adapterList, memory), expected);
    }

    void details()
    {
        QCOMPARE(hardwareshaping::memoryUsageText(text(hardwaresamples::kGpuMemoryUsage)),
                 QStringLiteral("Total GPU Memory Local Usage : 1523.45MB"));
        QCOMPARE(hardwareshaping::memoryUsageText(QString()), QStringLiteral("MB"));
        QCOMPARE(hardwareshaping::engineUtilizationDetail(text(hardwaresamples::kGpuEngineUtilization)),
                 QStringLiteral("Total GPU Engine Utilization : 12.37%"));
        QCOMPARE(hardwareshaping::engineUtilizationDetail(QString()), QStringLiteral("Total GPU Engine Utilization : %"));
    }

    void vendorToolDetail_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("expected");
        // The blank after each comma stays with the next value.
        QTest::newRow("one adapter") << text(hardwaresamples::kVendorTool)
                                     << QStringLiteral("GPU Clock : 1905 MHz\nFan Speed :  30 %\n"
                                                       "Borad Power Draw :  115.43 W\nGPU Temperature :  52\n"
                                                       "GPU Utilization :  7 %");
        QTest::newRow("two adapters") << QStringLiteral("1905 MHz, 30 %, 115.43 W, 52, 7 %\r\n"
                                                        "1410 MHz, 0 %, 20.10 W, 40, 0 %\r\n")
                                      << QStringLiteral("GPU Clock : 1905 MHz\nFan Speed :  30 %\n"
                                                        "Borad Power Draw :  115.43 W\nGPU Temperature :  52\n"
                                                        "GPU Utilization :  7 % 1410 MHz");
        QTest::newRow("no output") << QString()
                                   << QStringLiteral("GPU Clock : \nFan Speed : \nBorad Power Draw : \n"
                                                     "GPU Temperature : \nGPU Utilization : ");
        QTest::newRow("two values") << QStringLiteral("1905 MHz,[N/A]\r\n")
                                    << QStringLiteral("GPU Clock : 1905 MHz\nFan Speed : [N/A]\nBorad Power Draw : \n"
                                                      "GPU Temperature : \nGPU Utilization : ");
    }
    void vendorToolDetail()
    {
        QFETCH(QString, output);
        QFETCH(QString, expected);
        QCOMPARE(hardwareshaping::vendorToolDetail(output), expected);
    }

    void graphicsAdapter_data()
    {
        QTest::addColumn<QString>("detail");
        QTest::addColumn<int>("detailLines");
        QTest::newRow("vendor tool present") << hardwareshaping::vendorToolDetail(text(hardwaresamples::kVendorTool)) << 5;
        QTest::newRow("vendor tool absent")
            << hardwareshaping::engineUtilizationDetail(text(hardwaresamples::kGpuEngineUtilization)) << 1;
    }
    void graphicsAdapter()
    {
        QFETCH(QString, detail);
        QFETCH(int, detailLines);
        const QString adapter = hardwareshaping::adapterText(text(hardwaresamples::kVideoControllers),
                                                             text(hardwaresamples::kAdapterMemory));
        const QString usage = hardwareshaping::memoryUsageText(text(hardwaresamples::kGpuMemoryUsage));
        const records::ShapedCheck shaped = hardwareshaping::graphicsAdapter(adapter, usage, detail);
        const QString expected = adapter + QLatin1Char('\n') + usage + QLatin1Char('\n') + detail;
        QCOMPARE(shaped.text, expected);
        QCOMPARE(shaped.text.split(QLatin1Char('\n')).size(), 3 + 1 + detailLines);
        QCOMPARE(shaped.records, (Records{{126, QStringLiteral("CHECKING GPU INFORMATION......\n") + expected + kSeparator}}));
        QVERIFY(!shaped.text.contains(QStringLiteral("Can not find")));
    }

    void vendorToolMissingRecord()
    {
        QCOMPARE(hardwareshaping::vendorToolMissingRecord(),
                 (records::CheckRecord{120, QStringLiteral("Can not find nvidia-smi in C:/Program File/NVIDIA "
                                                           "Corporation/NVSMI/ to fetch more details about GPU")}));
    }

    void physicalMemory_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("expected");
        QTest::newRow("listing") << text(hardwaresamples::kPhysicalMemory)
                                 << QStringLiteral("TotalMemorySize     : 31.92\nAvailableMemorySize : 18.4");
        QTest::newRow("empty") << QString() << QStringLiteral("\n");
        QTest::newRow("three lines") << QStringLiteral("\r\n\r\nTotalMemorySize : 8") << QStringLiteral("TotalMemorySize : 8\n");
    }
    void physicalMemory()
    {
        QFETCH(QString, output);
        QFETCH(QString, expected);
        const records::ShapedCheck shaped = hardwareshaping::physicalMemory(output);
        QCOMPARE(shaped.text, expected);
        QCOMPARE(shaped.records, (Records{{143, QStringLiteral("MEMORY CHECKING.......\n") + expected + kSeparator}}));
    }

    void pageFile_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("expected");
        QTest::newRow("wmic value listing") << text(hardwaresamples::kPageFile)
                                            << QStringLiteral("AllocatedBaseSize: 4864MB\nCurrentUsage: 512MB\nPeakUsage: 1024MB");
        // Every line gives up its last character, whatever it is.
        QTest::newRow("plain line ends") << QStringLiteral("\r\n\r\nAllocatedBaseSize=4864\r\nCurrentUsage=512\r\nPeakUsage=1024\r\n")
                                         << QStringLiteral("AllocatedBaseSize: 486MB\nCurrentUsage: 51MB\nPeakUsage: 102MB");
        QTest::newRow("empty") << QString() << QStringLiteral("MB\nMB\nMB");
        QTest::newRow("one value") << QStringLiteral("\r\r\n\r\r\nAllocatedBaseSize=0\r\r\n")
                                   << QStringLiteral("AllocatedBaseSize: 0MB\nMB\nMB");
    }
    void pageFile()
    {
        QFETCH(QString, output);
        QFETCH(QString, expected);
        const records::ShapedCheck shaped = hardwareshaping::pageFile(output);
        QCOMPARE(shaped.text, expected);
        QCOMPARE(shaped.records,
                 (Records{{162, QStringLiteral("CHECKING VIRTURAL MEMMORY INFORMATION......\n") + expected + kSeparator}}));
    }

    void disks_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QVector<VolumeFigures>>("volumes");
        QTest::addColumn<QString>("physical");
        QTest::addColumn<QString>("logical");

        const QString disk0 = QStringLiteral("DeviceId: 0 Mediatype: SSD TotalSize(GB): 476.94\n");
        const QString disk1 = QStringLiteral("DeviceId: 1 Mediatype: HDD TotalSize(GB): 1863.02\n");
        QTest::newRow("disks and volumes")
            << text(hardwaresamples::kPhysicalDisks)
            << QVector<VolumeFigures>{{QStringLiteral("C:/"), 512110190592, 123456789012},
                                      {QStringLiteral("D:/"), 2000396746752, 1500000000000}}
            << disk0 + disk1
            << QStringLiteral("Path: C:/ TotalGBytes: 476GB UsedGBytes: 361GB AvailableGBytes: 114GB\n"
                              "Path: D:/ TotalGBytes: 1863GB UsedGBytes: 466GB AvailableGBytes: 1396GB\n");
        QTest::newRow("blank-only line kept, empty lines skipped")
            << QStringLiteral("\r\n") + text(hardwaresamples::kPhysicalDisks).replace(QStringLiteral("\r\nDeviceId=1"),
                                                                                     QStringLiteral("\r\n   \r\n\r\nDeviceId=1"))
            << QVector<VolumeFigures>{} << disk0 + QLatin1Char('\n') + disk1 << QString();
        QTest::newRow("every = replaced, paths untouched")
            << QStringLiteral("DeviceId=a=b Mediatype=SSD TotalSize(GB)=1\r\n")
            << QVector<VolumeFigures>{{QStringLiteral("/mnt/x=y"), 5 * kGiB, 2 * kGiB}}
            << QStringLiteral("DeviceId: a: b Mediatype: SSD TotalSize(GB): 1\n")
            << QStringLiteral("Path: /mnt/x=y TotalGBytes: 5GB UsedGBytes: 3GB AvailableGBytes: 2GB\n");
        QTest::newRow("below one GiB and unknown sizes")
            << QString()
            << QVector<VolumeFigures>{{QStringLiteral("/boot/efi"), 524288000, 500000000},
                                      {QStringLiteral("/proc"), kGiB - 1, 0},
                                      {QStringLiteral("/unknown"), -1, -1}}
            << QString()
            << QStringLiteral("Path: /boot/efi TotalGBytes: 0GB UsedGBytes: 0GB AvailableGBytes: 0GB\n"
                              "Path: /proc TotalGBytes: 0GB UsedGBytes: 0GB AvailableGBytes: 0GB\n"
                              "Path: /unknown TotalGBytes: 0GB UsedGBytes: 0GB AvailableGBytes: 0GB\n");
        QTest::newRow("no disks, no volumes") << QString() << QVector<VolumeFigures>{} << QString() << QString();
    }
    void disks()
    {
        QFETCH(QString, output);
        QFETCH(QVector<VolumeFigures>, volumes);
        QFETCH(QString, physical);
        QFETCH(QString, logical);
        const records::ShapedCheck shaped = hardwareshaping::disks(output, volumes);
        QCOMPARE(shaped.text, (physical + logical).chopped(physical.isEmpty() && logical.isEmpty() ? 0 : 1));
        QCOMPARE(shaped.records,
                 (Records{{182, QStringLiteral("Physical disk drive Point of view:\n") + physical},
                          {202, QStringLiteral("Logical disk drive point of view:\n") + logical + QString(96, QLatin1Char('-'))}}));
    }

    void screens_data()
    {
        QTest::addColumn<QVector<QSize>>("sizes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QVector<QSize>{} << QStringLiteral("Number of Screen: 0");
        QTest::newRow("one") << QVector<QSize>{{1920, 1080}}
                             << QStringLiteral("Number of Screen: 1\nScreen 1:\nscreenWidth: 1920 screenHeight: 1080");
        QTest::newRow("two") << QVector<QSize>{{2560, 1440}, {1080, 1920}}
                             << QStringLiteral("Number of Screen: 2\nScreen 1:\nscreenWidth: 2560 screenHeight: 1440\n"
                                               "Screen 2:\nscreenWidth: 1080 screenHeight: 1920");
    }
    void screens()
    {
        QFETCH(QVector<QSize>, sizes);
        QFETCH(QString, expected);
        const records::ShapedCheck shaped = hardwareshaping::screens(sizes);
        QCOMPARE(shaped.text, expected);
        QCOMPARE(shaped.records,
                 (Records{{300, QStringLiteral("CHECKING SCREEN SIZE INFORMATION......\n") + expected + kSeparator}}));
    }

    // The long scripts are easy to damage when edited; the tools match them
    // character for character.
    void engineUtilizationScript()
    {
        const QStringList arguments = windowscommands::gpuEngineUtilization();
        QCOMPARE(arguments.size(), 1);
        const QString script = arguments.first();
        QCOMPARE(script.size(), 587);
        QCOMPARE(script.count(QStringLiteral("+  (")), 2);
        QCOMPARE(script.count(QStringLiteral(" + (")), 1);
        QCOMPARE(script.count(QStringLiteral("\\GPU Engine(*engtype_")), 4);
        QVERIFY(script.startsWith(QStringLiteral("$([math]::round((((Get-Counter \"\\GPU Engine(*engtype_VideoProcessing)")));
        QVERIFY(script.endsWith(QStringLiteral(".CookedValue | measure -sum).sum,2))")));
    }
};

QTEST_APPLESS_MAIN(HardwareShapingTest)
#include "tst_hardwareshaping.moc"
