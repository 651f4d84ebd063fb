// The arithmetic and judging behind the benchmark figures, the generated
// log tree and the bare spawn: a wrong median or verdict would print a
// PASS the tool never earned.

#include "backgroundprogram.h"
#include "barespawn.h"
#include "logtree.h"
#include "sidebyside.h"
#include "verdict.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

class BenchSupportTest : public QObject
{
    Q_OBJECT

private slots:
    void median_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<double>("expected");
        QTest::newRow("one") << QVector<double>{4} << 4.0;
        QTest::newRow("odd, unsorted") << QVector<double>{9, 1, 5} << 5.0;
        QTest::newRow("even: mean of the middle two") << QVector<double>{8, 1, 2, 100} << 5.0;
        QTest::newRow("an outlier does not move it") << QVector<double>{1, 1, 1, 1000} << 1.0;
    }
    void median()
    {
        QFETCH(QVector<double>, values);
        QFETCH(double, expected);
        QCOMPARE(bench::median(values), expected);
        QVERIFY(std::isnan(bench::median({})));
    }

    void alternatesAndDropsWarmUps()
    {
        QStringList calls;
        int a = 0;
        int b = 0;
        const bench::SideBySide result = bench::alternate(
            3, 1, [&] { calls << QStringLiteral("A"); return double(a++); },
            [&] { calls << QStringLiteral("B"); return double(100 + b++); });
        QCOMPARE(calls.join(QString()), QStringLiteral("ABABABAB"));
        QCOMPARE(result.first.values, (QVector<double>{1, 2, 3}));
        QCOMPARE(result.second.values, (QVector<double>{101, 102, 103}));

        calls.clear();
        const QVector<bench::Figures> three = bench::alternate(
            2, 1,
            {[&] { calls << QStringLiteral("A"); return 1.0; }, [&] { calls << QStringLiteral("B"); return 2.0; },
             [&] { calls << QStringLiteral("C"); return 3.0; }});
        QCOMPARE(calls.join(QString()), QStringLiteral("ABCABCABC"));
        QCOMPARE(three.size(), 3);
        QCOMPARE(three.at(2).values, (QVector<double>{3, 3}));
    }

    void ratioVerdict_data()
    {
        QTest::addColumn<QVector<double>>("first");
        QTest::addColumn<QVector<double>>("second");
        QTest::addColumn<bool>("met");
        QTest::addColumn<QString>("headline");
        QTest::newRow("below") << QVector<double>{11, 12, 13} << QVector<double>{10, 10, 10} << true
                               << "x: 1.20x (target at most 1.30x) PASS";
        QTest::newRow("exactly at the target") << QVector<double>{13} << QVector<double>{10} << true
                                               << "x: 1.30x (target at most 1.30x) PASS";
        QTest::newRow("above") << QVector<double>{14} << QVector<double>{10} << false
                               << "x: 1.40x (target at most 1.30x) MISS";
        QTest::newRow("nothing to divide by") << QVector<double>{14} << QVector<double>{0} << false
                                              << "x: n/a (target at most 1.30x) MISS";
        QTest::newRow("no figures") << QVector<double>{} << QVector<double>{10} << false
                                    << "x: n/a (target at most 1.30x) MISS";
    }
    void ratioVerdict()
    {
        QFETCH(QVector<double>, first);
        QFETCH(QVector<double>, second);
        QFETCH(bool, met);
        QFETCH(QString, headline);
        const bench::Side a{QStringLiteral("tool"), {first}};
        const bench::Side b{QStringLiteral("bare"), {second}};
        QCOMPARE(bench::ratioMet(a, b, 1.3), met);
        const QStringList lines = bench::ratioLines(QStringLiteral("x"), a, b, QStringLiteral("ms"), 1.3);
        QCOMPARE(lines.value(0), headline);
        QCOMPARE(lines.size(), 3); // both sides' figures follow
        QVERIFY(lines.at(1).startsWith(QStringLiteral("    tool: median")));
    }

    void limitVerdict()
    {
        QVERIFY(bench::belowLimit(1.49, 1.5));
        QVERIFY(!bench::belowLimit(1.5, 1.5));
        QVERIFY(!bench::belowLimit(std::nan(""), 1.5));
        const QStringList lines =
            bench::limitLines(QStringLiteral("wall"), 2.0, 1.5, QStringLiteral("s"), {QStringLiteral("detail")});
        QCOMPARE(lines, (QStringList{QStringLiteral("wall: 2.00 s (target under 1.50 s) MISS"),
                                     QStringLiteral("    detail")}));
    }

    void highWaterMark()
    {
        QCOMPARE(bench::highWaterMarkKb("Name:\tx\nVmPeak:\t  900 kB\nVmHWM:\t   51234 kB\nVmRSS:\t 1 kB\n"), 51234L);
        QCOMPARE(bench::highWaterMarkKb("Name:\tx\n"), 0L);
    }

    void spawnReadsOutputAndExitCode()
    {
        const bench::Spawned run =
            bench::spawnAndWait(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("echo out; echo err >&2; exit 3")});
        QVERIFY(run.started);
        QCOMPARE(run.output, QByteArray("out\n"));
        QCOMPARE(run.errors, QByteArray("err\n"));
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.wallMs > 0);
        QVERIFY(!bench::spawnAndWait(QStringLiteral("/no/such/program"), {}).started);
    }

    // The window benchmark's view of a program it drives: the exact
    // environment given, the exit code, the programs started below it by
    // name, and a deadline that kills.
    void backgroundProgram()
    {
        QTemporaryDir folder;
        const QString output = folder.filePath(QStringLiteral("output.txt"));
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("ONLY"), QStringLiteral("this"));
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        bench::BackgroundProgram program;
        QString error;
        QVERIFY(program.start(QStringLiteral("/bin/sh"),
                              {QStringLiteral("-c"), QStringLiteral("echo \"$ONLY $HOME\"; sleep 1; exit 4")},
                              environment, output, &error));
        QTRY_VERIFY_WITH_TIMEOUT((program.sample(), program.descendantPeaksKb().contains(QStringLiteral("sleep"))),
                                 900);
        const bench::Ending ending = program.finish(5000);
        QVERIFY(ending.ended);
        QCOMPARE(ending.exitCode, 4);
        QVERIFY(program.ownPeakKb() > 0);
        QVERIFY2(program.descendantPeaksKb().value(QStringLiteral("sleep")) > 0,
                 qPrintable(QStringList(program.descendantPeaksKb().keys()).join(QLatin1Char(' '))));
        QFile printed(output);
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QCOMPARE(printed.readAll(), QByteArray("this \n")); // HOME was not passed on

        bench::BackgroundProgram endless;
        QVERIFY(endless.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")}, environment, output, &error));
        QElapsedTimer clock;
        clock.start();
        const bench::Ending killed = endless.finish(100);
        QVERIFY(!killed.ended);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!endless.start(QStringLiteral("/no/such/program"), {}, environment, output, &error));
        QVERIFY(!error.isEmpty());
    }

    // A tree that stands for real logs: about the size asked for, many files
    // of mixed sizes in the given folders, "\r\n" lines, compressible but not
    // trivially, and the same for the same seed.
    void generatedLogTree()
    {
        QTemporaryDir root;
        const qint64 wanted = 12 * 1024 * 1024;
        const logtree::Totals totals =
            logtree::fill(root.path(), {QString(), QStringLiteral("Render/Sessions")}, wanted, 7);
        QVERIFY(totals.bytes <= wanted && totals.bytes > wanted - 1024);
        QVERIFY2(totals.files >= 10, qPrintable(QString::number(totals.files)));

        qint64 smallest = wanted;
        qint64 largest = 0;
        qint64 counted = 0;
        QSet<QString> folders;
        QDirIterator files(root.path(), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QFileInfo file(files.next());
            smallest = qMin(smallest, file.size());
            largest = qMax(largest, file.size());
            counted += file.size();
            folders << file.absolutePath();
        }
        QCOMPARE(counted, totals.bytes);
        QCOMPARE(folders.size(), 2);
        QVERIFY2(smallest < 64 * 1024 && largest > 512 * 1024,
                 qPrintable(QStringLiteral("%1 .. %2").arg(smallest).arg(largest)));

        QRandomGenerator random(1);
        qint64 clock = 0;
        const QByteArray text = logtree::logText(1024 * 1024, random, clock);
        QVERIFY(text.endsWith("\r\n"));
        QVERIFY(!text.contains("\r\n\r\n"));
        const double ratio = double(text.size()) / qCompress(text).size();
        QVERIFY2(ratio > 2.5 && ratio < 15, qPrintable(QString::number(ratio)));

        QRandomGenerator again(1);
        qint64 sameClock = 0;
        QCOMPARE(logtree::logText(1024 * 1024, again, sameClock), text);
    }
};

QTEST_MAIN(BenchSupportTest)
#include "tst_benchsupport.moc"
