// The stand-in PowerShell's hardware and graphics facts: the readers on fake
// /proc and /sys trees, and the Windows layouts the checks cut by fixed
// character counts and line indices.

#include "console.h"
#include "diskfacts.h"
#include "faketree.h"
#include "graphicsfacts.h"
#include "memoryfacts.h"
#include "pagefilefacts.h"
#include "processorfacts.h"
#include "shaping/textcut.h"
#include "tdrfacts.h"

#include <QtTest>

using namespace powershell;
using testsupport::FakeTree;

namespace {

// What the processor check keeps of the output.
QString processorCut(const QByteArray &output)
{
    return textcut::withoutCarriageReturns(textcut::dropLast(textcut::dropFirst(QString::fromLocal8Bit(output), 4), 8));
}

const QByteArray kTwoPackageCpuInfo = "processor\t: 0\n"
                                      "vendor_id\t: GenuineIntel\n"
                                      "cpu family\t: 6\n"
                                      "model\t\t: 85\n"
                                      "model name\t: Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz\n"
                                      "stepping\t: 4\n"
                                      "cpu MHz\t\t: 2095.078\n"
                                      "physical id\t: 0\n"
                                      "\n"
                                      "processor\t: 1\n"
                                      "vendor_id\t: GenuineIntel\n"
                                      "model name\t: Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz\n"
                                      "physical id\t: 0\n"
                                      "\n"
                                      "processor\t: 2\n"
                                      "vendor_id\t: GenuineIntel\n"
                                      "cpu family\t: 6\n"
                                      "model\t\t: 85\n"
                                      "model name\t: Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz\n"
                                      "stepping\t: 4\n"
                                      "cpu MHz\t\t: 2100.5\n"
                                      "physical id\t: 1\n"
                                      "\n"
                                      "processor\t: 3\n"
                                      "physical id\t: 1\n"
                                      "\n";

const QByteArray kPciIds = "# comment 1002  not a vendor\n"
                           "1002  Advanced Micro Devices, Inc. [AMD/ATI]\n"
                           "\t73bf  Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]\n"
                           "\t\t1002 0e3a  Radeon RX 6900 XT\n"
                           "8086  Intel Corporation\n"
                           "\t3e92  CoffeeLake-S GT2 [UHD Graphics 630]\n"
                           "\t73bf  Not the AMD device\n"
                           "C 03  Display controller\n"
                           "\t00  VGA compatible controller\n";

void addPciDevice(const FakeTree &tree, const QString &address, const QByteArray &deviceClass, const QByteArray &vendor,
                  const QByteArray &device, const QString &driver = QString())
{
    const QString folder = QStringLiteral("/sys/bus/pci/devices/") + address;
    tree.write(folder + QStringLiteral("/class"), deviceClass + "\n");
    tree.write(folder + QStringLiteral("/vendor"), vendor + "\n");
    tree.write(folder + QStringLiteral("/device"), device + "\n");
    if (!driver.isEmpty()) {
        tree.makeFolder(QStringLiteral("/sys/bus/pci/drivers/") + driver);
        tree.link(folder + QStringLiteral("/driver"), QStringLiteral("../../drivers/") + driver);
    }
}

void addBlockDevice(const FakeTree &tree, const QString &name, const QByteArray &sectors, const QByteArray &rotational,
                    bool hardware)
{
    const QString folder = QStringLiteral("/sys/block/") + name;
    tree.write(folder + QStringLiteral("/size"), sectors + "\n");
    tree.write(folder + QStringLiteral("/queue/rotational"), rotational + "\n");
    if (hardware)
        tree.makeFolder(folder + QStringLiteral("/device"));
}

} // namespace

class HardwareFactsTest : public QObject
{
    Q_OBJECT

private slots:
    // --- processor ---
    void processorListingKeepsTheFrameTheCheckCuts()
    {
        const QVector<Processor> processors{
            {QStringLiteral("AMD64 Family 25 Model 33 Stepping 0"), QStringLiteral("AuthenticAMD"), QStringLiteral("3701"),
             QStringLiteral("AMD Ryzen 9 5900X 12-Core Processor"), QStringLiteral("AM4")},
            {QStringLiteral("AMD64 Family 25 Model 33 Stepping 0"), QStringLiteral("AuthenticAMD"), QStringLiteral("3701"),
             QStringLiteral("AMD Ryzen 9 5900X 12-Core Processor"), QStringLiteral("AM4 #2")}};
        const QByteArray output = standin::crlfLines(processorListing(processors));
        QVERIFY(output.startsWith("\r\n\r\nCaption           : AMD64 Family 25 Model 33 Stepping 0\r\n"));
        QVERIFY(output.endsWith("SocketDesignation : AM4 #2\r\n\r\n\r\n\r\n"));
        QVERIFY(output.contains("SocketDesignation : AM4\r\n\r\nCaption           : "));

        const QStringList lines = textcut::splitLinesLf(processorCut(output));
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines.at(0), QStringLiteral("Caption           : AMD64 Family 25 Model 33 Stepping 0"));
        QCOMPARE(lines.at(1), QStringLiteral("DeviceID          : CPU0"));
        QCOMPARE(lines.at(2), QStringLiteral("Manufacturer      : AuthenticAMD"));
        QCOMPARE(lines.at(3), QStringLiteral("MaxClockSpeed     : 3701"));
        QCOMPARE(lines.at(4), QStringLiteral("Name              : AMD Ryzen 9 5900X 12-Core Processor"));
        QCOMPARE(lines.at(5), QStringLiteral("SocketDesignation : AM4"));
        QCOMPARE(lines.at(6), QString());
        QCOMPARE(lines.at(8), QStringLiteral("DeviceID          : CPU1"));
        QCOMPARE(lines.at(12), QStringLiteral("SocketDesignation : AM4 #2"));
        QVERIFY(processorListing({}).isEmpty());
    }

    void processorsAreReadPerPackage()
    {
        FakeTree tree;
        tree.write(QStringLiteral("/proc/cpuinfo"), kTwoPackageCpuInfo);
        tree.write(QStringLiteral("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"), "3700000\n");

        QVector<Processor> processors = readProcessors(standin::SystemRoot(tree.root()));
        QCOMPARE(processors.size(), 2);
        QCOMPARE(processors.at(0).caption, QStringLiteral("Intel64 Family 6 Model 85 Stepping 4"));
        QCOMPARE(processors.at(0).manufacturer, QStringLiteral("GenuineIntel"));
        QCOMPARE(processors.at(0).name, QStringLiteral("Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz"));
        QCOMPARE(processors.at(0).maxClockSpeed, QStringLiteral("3700"));
        // No frequency driver for the second package: the measured speed.
        QCOMPARE(processors.at(1).maxClockSpeed, QStringLiteral("2101"));
        QCOMPARE(processors.at(0).socketDesignation, QStringLiteral("CPU 0"));
        QCOMPARE(processors.at(1).socketDesignation, QStringLiteral("CPU 1"));

        // The firmware's socket names win where they can be read.
        QByteArray record("\x04\x1a\x00\x00\x01", 5);
        record += QByteArray(0x1a - 5, '\0');
        record += QByteArray("CPU1\0Intel(R) Corporation\0\0", 28);
        tree.write(QStringLiteral("/sys/firmware/dmi/entries/4-0/raw"), record);
        processors = readProcessors(standin::SystemRoot(tree.root()));
        QCOMPARE(processors.at(0).socketDesignation, QStringLiteral("CPU1"));
        QCOMPARE(processors.at(1).socketDesignation, QStringLiteral("CPU 1"));
    }

    void processorsWithoutPackageNumbersFormOnePackage()
    {
        FakeTree tree;
        tree.write(QStringLiteral("/proc/cpuinfo"), "processor\t: 0\nmodel name\t: Some CPU\n\nprocessor\t: 1\nmodel name\t: Some CPU\n");
        const QVector<Processor> processors = readProcessors(standin::SystemRoot(tree.root()));
        QCOMPARE(processors.size(), 1);
        QCOMPARE(processors.at(0).caption, QStringLiteral("Some CPU"));
        QCOMPARE(processors.at(0).maxClockSpeed, QString());
    }

    // --- graphics ---
    void pciNamesComeFromTheRightVendor_data()
    {
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("name");
        QTest::newRow("known") << "1002" << "73bf"
                               << "Advanced Micro Devices, Inc. [AMD/ATI] Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]";
        QTest::newRow("same id under another vendor") << "8086" << "73bf" << "Intel Corporation Not the AMD device";
        QTest::newRow("unknown device") << "8086" << "ffff" << "Intel Corporation display device ffff";
        QTest::newRow("unknown vendor") << "abcd" << "0001" << "PCI vendor abcd display device 0001";
    }
    void pciNamesComeFromTheRightVendor()
    {
        QFETCH(QString, vendor);
        QFETCH(QString, device);
        QFETCH(QString, name);
        QCOMPARE(pciDeviceName(QString::fromUtf8(kPciIds), vendor, device), name);
    }

    void displayAdaptersAreReadFromPci()
    {
        FakeTree tree;
        tree.write(QStringLiteral("/usr/share/misc/pci.ids"), kPciIds);
        tree.write(QStringLiteral("/proc/sys/kernel/osrelease"), "6.1.0-13-amd64\n");
        addPciDevice(tree, QStringLiteral("0000:00:02.0"), "0x030000", "0x8086", "0x3e92", QStringLiteral("i915"));
        addPciDevice(tree, QStringLiteral("0000:00:1f.6"), "0x020000", "0x8086", "0x15bc", QStringLiteral("e1000e"));
        addPciDevice(tree, QStringLiteral("0000:03:00.0"), "0x030000", "0x1002", "0x73bf", QStringLiteral("amdgpu"));
        addPciDevice(tree, QStringLiteral("0000:04:00.0"), "0x038000", "0x1002", "0x73bf");
        tree.write(QStringLiteral("/sys/module/amdgpu/version"), "5.18.13\n");
        tree.write(QStringLiteral("/sys/bus/pci/devices/0000:03:00.0/mem_info_vram_total"), "17163091968\n");
        tree.write(QStringLiteral("/sys/bus/pci/devices/0000:03:00.0/mem_info_vram_used"), "1294536704\n");
        tree.write(QStringLiteral("/sys/bus/pci/devices/0000:03:00.0/gpu_busy_percent"), "37\n");

        const QVector<DisplayAdapter> adapters = readDisplayAdapters(standin::SystemRoot(tree.root()));
        QCOMPARE(adapters.size(), 3);
        QCOMPARE(adapters.at(0).name, QStringLiteral("Intel Corporation CoffeeLake-S GT2 [UHD Graphics 630]"));
        QCOMPARE(adapters.at(0).driverVersion, QStringLiteral("i915 6.1.0-13-amd64"));
        QVERIFY(!adapters.at(0).memoryTotalBytes);
        QCOMPARE(adapters.at(1).driver, QStringLiteral("amdgpu"));
        QCOMPARE(adapters.at(1).driverVersion, QStringLiteral("amdgpu 5.18.13"));
        QCOMPARE(*adapters.at(1).memoryTotalBytes, Q_INT64_C(17163091968));
        QCOMPARE(adapters.at(2).driverVersion, QString());

        const QStringList listing = videoControllerListing(adapters);
        QCOMPARE(listing.mid(0, 5), (QStringList{QString(), QString(),
                                                 "Name          : Intel Corporation CoffeeLake-S GT2 [UHD Graphics 630]",
                                                 "DriverVersion : i915 6.1.0-13-amd64", QString()}));
        QCOMPARE(listing.size(), 2 + 3 * 2 + 2 + 3);
        QCOMPARE(adapterMemoryLines(adapters), QStringList{"16"});
        QCOMPARE(gpuMemoryUsageLines(adapters), (QStringList{"Total GPU Memory Local Usage : ", "1234.57"}));
        QCOMPARE(gpuEngineUtilizationLines(adapters), QStringList{"37"});
    }

    void graphicsQueriesWithoutAdapters()
    {
        FakeTree tree;
        addPciDevice(tree, QStringLiteral("0000:00:00.0"), "0x060000", "0x8086", "0x0d57");
        const QVector<DisplayAdapter> adapters = readDisplayAdapters(standin::SystemRoot(tree.root()));
        QVERIFY(adapters.isEmpty());
        QVERIFY(videoControllerListing(adapters).isEmpty());
        QVERIFY(adapterMemoryLines(adapters).isEmpty());
        QCOMPARE(gpuMemoryUsageLines(adapters), (QStringList{"Total GPU Memory Local Usage : ", "0"}));
        QCOMPARE(gpuEngineUtilizationLines(adapters), QStringList{"0"});
    }

    // --- TDR ---
    void amdgpuLockupTimeouts_data()
    {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("ddiDelay");
        QTest::newRow("driver defaults") << "\n" << "10" << "60";
        QTest::newRow("0 is the default") << "0\n" << "10" << "60";
        QTest::newRow("one value leaves compute alone") << "5000\n" << "5" << "60";
        QTest::newRow("fractions of a second") << "2500,30000,10000,10000\n" << "2.5" << "30";
        QTest::newRow("negative switches recovery off") << "-1,-1\n" << "infinite" << "infinite";
    }
    void amdgpuLockupTimeouts()
    {
        QFETCH(QString, parameter);
        QFETCH(QString, delay);
        QFETCH(QString, ddiDelay);
        const TdrValues values = amdgpuTdrValues(parameter);
        QCOMPARE(values.delay, delay);
        QCOMPARE(values.ddiDelay, ddiDelay);
    }

    void tdrValuesComeFromTheFirstDriverThatHasThem()
    {
        FakeTree tree;
        const standin::SystemRoot system(tree.root());
        addPciDevice(tree, QStringLiteral("0000:00:02.0"), "0x030000", "0x8086", "0x3e92", QStringLiteral("i915"));
        addPciDevice(tree, QStringLiteral("0000:01:00.0"), "0x030000", "0x10de", "0x2206", QStringLiteral("nouveau"));
        QVERIFY(!readTdrValues(system, readDisplayAdapters(system)));

        const QString engine = QStringLiteral("/sys/bus/pci/devices/0000:00:02.0/drm/card0/engine/rcs0/");
        tree.makeFolder(QStringLiteral("/sys/bus/pci/devices/0000:00:02.0/drm/controlD64"));
        tree.write(engine + QStringLiteral("heartbeat_interval_ms"), "2500\n");
        tree.write(engine + QStringLiteral("preempt_timeout_ms"), "640\n");
        std::optional<TdrValues> values = readTdrValues(system, readDisplayAdapters(system));
        QVERIFY(values);
        QCOMPARE(tdrLines(*values), (QStringList{"2.5", "0.64"}));
        QCOMPARE(textcut::splitLines(QString::fromLocal8Bit(standin::crlfLines(tdrLines(*values)))).mid(0, 2),
                 (QStringList{"2.5", "0.64"}));

        FakeTree amd;
        const standin::SystemRoot amdSystem(amd.root());
        addPciDevice(amd, QStringLiteral("0000:03:00.0"), "0x030000", "0x1002", "0x73bf", QStringLiteral("amdgpu"));
        amd.write(QStringLiteral("/sys/module/amdgpu/parameters/lockup_timeout"), "\n");
        values = readTdrValues(amdSystem, readDisplayAdapters(amdSystem));
        QVERIFY(values);
        QCOMPARE(tdrLines(*values), (QStringList{"10", "60"}));
    }

    void missingTdrValuesAreAPowerShellError()
    {
        const QString error = missingTdrError();
        QVERIFY(error.startsWith(QStringLiteral("Get-ItemPropertyValue : Property TdrDelay does not exist")));
        QVERIFY(error.endsWith(QStringLiteral("\r\n")));
    }

    // --- physical memory ---
    void physicalMemoryInGigabytes()
    {
        FakeTree tree;
        tree.write(QStringLiteral("/proc/meminfo"),
                   "MemTotal:       32788524 kB\nMemFree:         1000000 kB\nMemAvailable:   21390950 kB\n");
        const PhysicalMemory memory = readPhysicalMemory(standin::SystemRoot(tree.root()));
        QCOMPARE(memory.totalKiB, Q_INT64_C(32788524));
        QCOMPARE(memory.availableKiB, Q_INT64_C(21390950));

        const QStringList lines =
            textcut::splitLines(QString::fromLocal8Bit(standin::crlfLines(physicalMemoryListing(memory))));
        QCOMPARE(lines.mid(0, 4), (QStringList{QString(), QString(), "TotalMemorySize     : 31.27",
                                               "AvailableMemorySize : 20.4"}));
        QCOMPARE(lines.size(), 2 + 2 + 3 + 1);
    }

    // --- page file ---
    void swapAreasAreSummed()
    {
        FakeTree tree;
        tree.write(QStringLiteral("/proc/swaps"), "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n"
                                                  "/dev/nvme0n1p3                          partition\t1048572\t\t524288\t\t-2\n"
                                                  "/dev/zram0                              partition\t1048576\t\t1024\t\t100\n");
        const std::optional<SwapSpace> swap = readSwapSpace(standin::SystemRoot(tree.root()));
        QVERIFY(swap);
        QCOMPARE(swap->sizeKiB, Q_INT64_C(2097148));
        QCOMPARE(swap->usedKiB, Q_INT64_C(525312));

        FakeTree none;
        none.write(QStringLiteral("/proc/swaps"), "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n");
        QVERIFY(!readSwapSpace(standin::SystemRoot(none.root())));
        QVERIFY(!readSwapSpace(standin::SystemRoot(none.root() + QStringLiteral("/missing"))));
    }

    void pageFileInTheWmicValueLayout()
    {
        const QByteArray output = pageFileValues(SwapSpace{2097148, 525312});
        QCOMPARE(output, QByteArray("\r\r\n\r\r\nAllocatedBaseSize=2048\r\r\nCurrentUsage=513\r\r\nPeakUsage=513\r\r\n"
                                    "\r\r\n\r\r\n"));
        // The check's cut: lines 2 to 4 without their last character.
        const QStringList lines = textcut::splitLines(QString::fromLocal8Bit(output));
        QStringList cut;
        for (int i = 2; i <= 4; ++i)
            cut << textcut::dropLast(textcut::at(lines, i), 1).replace(QLatin1Char('='), QLatin1String(": ")) + "MB";
        QCOMPARE(cut, (QStringList{"AllocatedBaseSize: 2048MB", "CurrentUsage: 513MB", "PeakUsage: 513MB"}));
        QCOMPARE(noPageFileError(), QStringLiteral("No Instance(s) Available.\r\n"));
    }

    // --- physical disks ---
    void onlyHardwareDisksAreListed()
    {
        FakeTree tree;
        addBlockDevice(tree, QStringLiteral("loop0"), "1024", "0", false);
        addBlockDevice(tree, QStringLiteral("ram0"), "8192", "0", false);
        addBlockDevice(tree, QStringLiteral("zram0"), "8388608", "0", false);
        addBlockDevice(tree, QStringLiteral("dm-0"), "8388608", "0", false);
        addBlockDevice(tree, QStringLiteral("sr0"), "2097152", "1", true);
        addBlockDevice(tree, QStringLiteral("sdc"), "0", "1", true);
        addBlockDevice(tree, QStringLiteral("sda"), "3907029168", "1", true);
        addBlockDevice(tree, QStringLiteral("nvme0n1"), "976773168", "0", true);
        tree.makeFolder(QStringLiteral("/sys/block/mmcblk0/device"));
        tree.write(QStringLiteral("/sys/block/mmcblk0/size"), "62333952\n");

        const QVector<PhysicalDisk> disks = readPhysicalDisks(standin::SystemRoot(tree.root()));
        QCOMPARE(disks.size(), 3);
        QCOMPARE(disks.at(0).deviceId, QStringLiteral("mmcblk0"));
        QCOMPARE(disks.at(0).mediaType, QStringLiteral("Unspecified"));
        QCOMPARE(disks.at(1).deviceId, QStringLiteral("nvme0n1"));
        QCOMPARE(disks.at(1).mediaType, QStringLiteral("SSD"));
        QCOMPARE(disks.at(2).deviceId, QStringLiteral("sda"));
        QCOMPARE(disks.at(2).mediaType, QStringLiteral("HDD"));
        QCOMPARE(disks.at(2).sizeBytes, Q_INT64_C(2000398934016));
    }

    void diskLinesArePaddedLikeDotNet()
    {
        const QStringList lines = physicalDiskLines(
            {PhysicalDisk{QStringLiteral("nvme0n1"), QStringLiteral("SSD"), Q_INT64_C(500107862016)},
             PhysicalDisk{QStringLiteral("a-device-name-longer-than-25"), QStringLiteral("HDD"), Q_INT64_C(1) << 30}});
        QCOMPARE(lines.at(0), QStringLiteral("DeviceId=nvme0n1                   Mediatype=SSD          "
                                             "TotalSize(GB)=465.76          "));
        QCOMPARE(lines.at(1), QStringLiteral("DeviceId=a-device-name-longer-than-25 Mediatype=HDD          "
                                             "TotalSize(GB)=1               "));
        // The check simplifies each line and turns "=" into ": ".
        QCOMPARE(lines.at(0).simplified().replace(QLatin1Char('='), QLatin1String(": ")),
                 QStringLiteral("DeviceId: nvme0n1 Mediatype: SSD TotalSize(GB): 465.76"));
        QVERIFY(physicalDiskLines({}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(HardwareFactsTest)
#include "tst_hardwarefacts.moc"
