// The hardware action with the real stand-ins answering: the hardware
// report's records in order, the pane showing the texts the report frames,
// and facts this test reads itself from /proc and /sys found in them.

#include "inspection/windowscommands.h"
#include "recordsummary.h"
#include "reporttexts.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include "machinefacts.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace testsupport;

namespace {

// The value of the first "key : value" line of a /proc file holding the key.
QString procValue(const QString &path, const QString &key, QChar divider)
{
    for (const QString &line : fileText(path).split(QLatin1Char('\n'))) {
        if (line.section(divider, 0, 0).trimmed() == key)
            return line.section(divider, 1).trimmed();
    }
    return QString();
}

QString inspection(char level, int line)
{
    return QStringLiteral("%1 displaysystemrelatedinfo.cpp:%2").arg(QLatin1Char(level)).arg(line);
}

// Every record up to the update check, in order: each command leaves the
// runner's warning before the record of what it found.
QStringList placesUpToTheUpdates(bool vendorTool)
{
    const QString runner = inspection('W', 46);
    QStringList places{runner, inspection('I', 76), runner, runner, runner};
    if (vendorTool)
        places << runner;
    else
        places << inspection('I', 120) << runner;
    places << inspection('I', 126) << runner << inspection('I', 324) << runner << inspection('I', 143) << runner
           << inspection('I', 162) << inspection('I', 168) << runner << inspection('I', 182) << inspection('I', 202)
           << inspection('I', 300) << runner << inspection('I', 313);
    return places;
}

} // namespace

class EndToEndHardwareTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initWindowTests();
        appendStandInsToPath();
    }

    void reportAndPaneCarryThisMachinesFacts()
    {
        const InstallFolder folder;
        MainWindow window;
        const QString before = paneText(window);
        QElapsedTimer clock;
        clock.start();
        window.CheckHardware();
        qInfo("the hardware action took %lld ms", clock.elapsed());
        QVERIFY(idle(window));

        const QStringList files = reportFiles(QStringLiteral("SupportLog_HardWare_"));
        QCOMPARE(files.size(), 1);
        const QList<Record> report = recordsOf(files.first());
        const QStringList places = placesOf(report);

        // The records in order; the Direct3D 12 check ends with one of its
        // complete answers, whichever this machine's driver gives.
        const QStringList expected = placesUpToTheUpdates(QFile::exists(windowscommands::vendorToolPath()));
        QCOMPARE(places.mid(0, expected.size()), expected);
        const QList<QStringList> d3d12Answers{{inspection('I', 483), inspection('I', 486)},
                                              {inspection('I', 483), inspection('I', 489), inspection('I', 495)},
                                              {inspection('I', 483), inspection('I', 489), inspection('I', 499)}};
        QVERIFY2(d3d12Answers.contains(places.mid(expected.size())), qPrintable(places.mid(expected.size()).join(", ")));

        // The pane shows the eight texts the report frames, and nothing else.
        const QStringList texts = hardwarePaneTexts(report);
        QCOMPARE(texts.size(), 8);
        QCOMPARE(addedPaneText(before, paneText(window)), texts.join(QLatin1Char('\n')));

        const QString modelName = procValue(QStringLiteral("/proc/cpuinfo"), QStringLiteral("model name"), QLatin1Char(':'));
        if (!modelName.isEmpty())
            QVERIFY2(texts.at(0).contains(QStringLiteral("Name              : ") + modelName), qPrintable(texts.at(0)));

        // TotalMemorySize is MemTotal in GB, rounded to two decimals.
        const QString totalLine = texts.at(3).section(QLatin1Char('\n'), 0, 0);
        QVERIFY2(totalLine.startsWith(QLatin1String("TotalMemorySize     : ")), qPrintable(totalLine));
        const double memTotalGb =
            procValue(QStringLiteral("/proc/meminfo"), QStringLiteral("MemTotal"), QLatin1Char(':')).section(QLatin1Char(' '), 0, 0).toDouble()
            / 1024.0 / 1024.0;
        QVERIFY(memTotalGb > 0);
        QVERIFY2(qAbs(totalLine.section(QLatin1String(" : "), 1).toDouble() - memTotalGb) <= 0.005 + 1e-9,
                 qPrintable(QStringLiteral("%1 against %2 GB").arg(totalLine).arg(memTotalGb)));

        for (const QString &disk : expectedDisks())
            QVERIFY2(texts.at(5).contains(QStringLiteral("DeviceId: ") + disk + QStringLiteral(" Mediatype: ")),
                     qPrintable(disk + QStringLiteral(" missing from: ") + texts.at(5)));

        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QVERIFY2(texts.at(6).startsWith(QLatin1String("Number of Screen: 1\nScreen 1:\nscreenWidth: ")),
                     qPrintable(texts.at(6)));
    }
};

QTEST_MAIN(EndToEndHardwareTest)
#include "tst_endtoend_hardware.moc"
