// The built stand-in PowerShell answering the hardware and graphics scripts:
// its output is cut the way the checks cut it and held against facts this
// test reads itself from /proc and /sys.

#include "inspection/windowscommands.h"
#include "machinefacts.h"
#include "shaping/textcut.h"
#include "standinrun.h"

#include <QtTest>

using testsupport::runStandIn;
using testsupport::StandInAnswer;

using testsupport::fileText;

namespace {

StandInAnswer ask(const QStringList &script)
{
    const StandInAnswer answer = runStandIn(QStringLiteral("powershell"), script);
    if (!answer.finished)
        qWarning("the stand-in did not finish");
    return answer;
}

QStringList outputLines(const StandInAnswer &answer) { return textcut::splitLines(QString::fromLocal8Bit(answer.out)); }

// "key : value" of the first paragraph of /proc/cpuinfo holding the key.
QString cpuInfoValue(const QString &key)
{
    for (const QString &line : fileText(QStringLiteral("/proc/cpuinfo")).split(QLatin1Char('\n'))) {
        if (line.section(QLatin1Char(':'), 0, 0).trimmed() == key)
            return line.section(QLatin1Char(':'), 1).trimmed();
    }
    return QString();
}

int cpuPackageCount()
{
    QSet<QString> packages;
    for (const QString &line : fileText(QStringLiteral("/proc/cpuinfo")).split(QLatin1Char('\n'))) {
        if (line.section(QLatin1Char(':'), 0, 0).trimmed() == QLatin1String("physical id"))
            packages.insert(line.section(QLatin1Char(':'), 1).trimmed());
    }
    return qMax(1, packages.size());
}

double memInfoGigabytes(const QString &key)
{
    for (const QString &line : fileText(QStringLiteral("/proc/meminfo")).split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char(':')))
            return line.simplified().section(QLatin1Char(' '), 1, 1).toDouble() / 1024.0 / 1024.0;
    }
    return -1;
}

int displayDeviceCount()
{
    int count = 0;
    const QDir devices(QStringLiteral("/sys/bus/pci/devices"));
    for (const QString &address : devices.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (fileText(devices.filePath(address) + QStringLiteral("/class")).trimmed().startsWith(QLatin1String("0x03")))
            ++count;
    }
    return count;
}

const QRegularExpression kNumber(QStringLiteral("^\\d+(\\.\\d{1,2})?$"));

} // namespace

class StandInHardwareTest : public QObject
{
    Q_OBJECT

private slots:
    void processorNamesThisMachinesPackages()
    {
        const StandInAnswer answer = ask(windowscommands::processor());
        QCOMPARE(answer.exitCode, 0);
        QVERIFY(answer.out.startsWith("\r\n\r\nCaption "));
        QVERIFY(answer.out.endsWith("\r\n\r\n\r\n\r\n"));

        // The check drops the first 4 and the last 8 characters.
        const QString text = textcut::withoutCarriageReturns(
            textcut::dropLast(textcut::dropFirst(QString::fromLocal8Bit(answer.out), 4), 8));
        const QStringList lines = textcut::splitLinesLf(text);
        QVERIFY(lines.first().startsWith(QLatin1String("Caption           : ")));
        QVERIFY(lines.last().startsWith(QLatin1String("SocketDesignation : ")));
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^DeviceID +: CPU\\d+$"))).size(), cpuPackageCount());
        const QString modelName = cpuInfoValue(QStringLiteral("model name"));
        if (!modelName.isEmpty())
            QCOMPARE(lines.at(4), QStringLiteral("Name              : ") + modelName);
        const QString vendor = cpuInfoValue(QStringLiteral("vendor_id"));
        if (!vendor.isEmpty())
            QCOMPARE(lines.at(2), QStringLiteral("Manufacturer      : ") + vendor);
    }

    void physicalMemoryMatchesMeminfo()
    {
        const StandInAnswer answer = ask(windowscommands::physicalMemory());
        QCOMPARE(answer.exitCode, 0);
        const QStringList lines = outputLines(answer);
        const QString total = textcut::at(lines, 2);
        const QString available = textcut::at(lines, 3);
        QVERIFY2(total.startsWith(QLatin1String("TotalMemorySize     : ")), qPrintable(total));
        QVERIFY2(available.startsWith(QLatin1String("AvailableMemorySize : ")), qPrintable(available));
        QVERIFY(qAbs(total.section(QLatin1String(" : "), 1).toDouble() - memInfoGigabytes(QStringLiteral("MemTotal")))
                <= 0.005 + 1e-9);
        const double availableGb = available.section(QLatin1String(" : "), 1).toDouble();
        QVERIFY(availableGb > 0 && availableGb <= memInfoGigabytes(QStringLiteral("MemTotal")) + 0.005);
    }

    void pageFileFollowsSwaps()
    {
        const StandInAnswer answer = ask(windowscommands::pageFile());
        QCOMPARE(answer.exitCode, 0);
        const bool hasSwap = fileText(QStringLiteral("/proc/swaps")).trimmed().contains(QLatin1Char('\n'));
        if (!hasSwap) {
            QVERIFY(answer.out.isEmpty());
            QCOMPARE(answer.err, QByteArray("No Instance(s) Available.\r\n"));
            return;
        }
        QVERIFY(answer.out.startsWith("\r\r\n\r\r\nAllocatedBaseSize="));
        const QStringList lines = outputLines(answer);
        const QStringList labels{"AllocatedBaseSize: ", "CurrentUsage: ", "PeakUsage: "};
        for (int i = 0; i < 3; ++i) {
            const QString cut = textcut::dropLast(textcut::at(lines, 2 + i), 1).replace(QLatin1Char('='), QLatin1String(": "));
            QVERIFY2(cut.startsWith(labels.at(i)), qPrintable(cut));
            QVERIFY(kNumber.match(cut.mid(labels.at(i).size())).hasMatch());
        }
    }

    void disksAreThisMachinesBlockDevices()
    {
        const StandInAnswer answer = ask(windowscommands::physicalDisks());
        QCOMPARE(answer.exitCode, 0);
        static const QRegularExpression diskLine(
            QStringLiteral("^DeviceId: (\\S+) Mediatype: (SSD|HDD|Unspecified) TotalSize\\(GB\\): (\\S+)$"));
        QStringList listed;
        for (const QString &line : outputLines(answer)) {
            if (line.isEmpty())
                continue;
            const QString cut = line.simplified().replace(QLatin1Char('='), QLatin1String(": "));
            const QRegularExpressionMatch match = diskLine.match(cut);
            QVERIFY2(match.hasMatch(), qPrintable(cut));
            const QString name = match.captured(1);
            listed << name;
            QVERIFY(!name.startsWith(QLatin1String("loop")) && !name.startsWith(QLatin1String("ram"))
                    && !name.startsWith(QLatin1String("zram")));
            const QString block = QStringLiteral("/sys/block/") + name;
            QVERIFY2(QFileInfo::exists(block), qPrintable(name));
            const double gigabytes = fileText(block + QStringLiteral("/size")).trimmed().toDouble() * 512 / (1 << 30);
            QVERIFY(qAbs(match.captured(3).toDouble() - gigabytes) <= 0.005 + 1e-9);
            const QString rotational = fileText(block + QStringLiteral("/queue/rotational")).trimmed();
            QCOMPARE(match.captured(2), rotational == QLatin1String("1") ? QStringLiteral("HDD") : QStringLiteral("SSD"));
        }
        // Every disk with a controller behind it and a medium in it is listed.
        QCOMPARE(listed, testsupport::expectedDisks());
    }

    void graphicsScriptsFollowThePciDisplayDevices()
    {
        const int adapters = displayDeviceCount();
        StandInAnswer answer = ask(windowscommands::videoControllers());
        QCOMPARE(answer.exitCode, 0);
        const QStringList lines = outputLines(answer);
        if (adapters == 0) {
            QVERIFY(answer.out.isEmpty());
        } else {
            QVERIFY(textcut::at(lines, 2).startsWith(QLatin1String("Name          : ")));
            QVERIFY(textcut::at(lines, 3).startsWith(QLatin1String("DriverVersion : ")));
            QCOMPARE(textcut::at(lines, 4), QString());
            QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^Name {10}: "))).size(), adapters);
        }

        answer = ask(windowscommands::adapterMemory());
        QCOMPARE(answer.exitCode, 0);
        const QString memory = QString::fromLocal8Bit(answer.out).simplified();
        QVERIFY2(memory.isEmpty() || kNumber.match(memory).hasMatch(), qPrintable(memory));

        answer = ask(windowscommands::gpuMemoryUsage());
        QCOMPARE(answer.exitCode, 0);
        const QString usage = QString::fromLocal8Bit(answer.out).simplified();
        QVERIFY2(usage.startsWith(QLatin1String("Total GPU Memory Local Usage : ")), qPrintable(usage));
        QVERIFY(kNumber.match(usage.section(QLatin1String(" : "), 1)).hasMatch());

        answer = ask(windowscommands::gpuEngineUtilization());
        QCOMPARE(answer.exitCode, 0);
        QVERIFY(kNumber.match(QString::fromLocal8Bit(answer.out).simplified()).hasMatch());
    }

    void tdrValuesOrTheRegistryError()
    {
        const StandInAnswer answer = ask(windowscommands::tdrValues());
        if (answer.exitCode == 0) {
            const QStringList lines = outputLines(answer);
            QCOMPARE(lines.size(), 3);
            QVERIFY(!lines.at(0).isEmpty() && !lines.at(1).isEmpty());
        } else {
            QCOMPARE(answer.exitCode, 1);
            QVERIFY(answer.out.isEmpty());
            QVERIFY(answer.err.contains("TdrDelay"));
        }
    }

    void unknownScriptIsRefused()
    {
        const StandInAnswer answer = ask({QStringLiteral("Get-WmiObject win32_bogus")});
        QVERIFY(answer.finished);
        QVERIFY(answer.exitCode != 0);
        QVERIFY(answer.out.isEmpty());
        QVERIFY(!answer.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(StandInHardwareTest)
#include "tst_standin_hardware.moc"
