// Work done on several threads and handed on in the order it was given:
// the order holds whatever order the work ends in, and no more items are
// taken than the window lets be held, however slow the first one is.

#include "inorder.h"

#include <QMutex>
#include <QSet>
#include <QThread>
#include <QtTest>

class InOrderTest : public QObject
{
    Q_OBJECT

private slots:
    void resultsKeepTheirOrderWithinTheWindow_data()
    {
        QTest::addColumn<int>("threads");
        QTest::addColumn<int>("count");
        QTest::newRow("four threads") << 4 << 120;
        QTest::newRow("one thread") << 1 << 20;
        QTest::newRow("no item") << 3 << 0;
    }
    void resultsKeepTheirOrderWithinTheWindow()
    {
        QFETCH(int, threads);
        QFETCH(int, count);
        const int window = 2 * threads;
        int given = 0;
        int mostHeld = 0;
        QVector<int> taken;
        QMutex mutex;
        QSet<QThread *> workers;
        inorder::run<int, int>(
            threads, window,
            [&]() -> std::optional<int> {
                if (given == count)
                    return std::nullopt;
                ++given;
                mostHeld = qMax(mostHeld, given - taken.size());
                return given - 1;
            },
            [&](const int &item) {
                {
                    const QMutexLocker lock(&mutex);
                    workers.insert(QThread::currentThread());
                }
                // The first item ends last of its window, the others in a
                // scrambled order.
                QThread::usleep(item == 0 ? 100000 : (item * 7919) % 5 * 400);
                return item * item;
            },
            [&](int result) { taken << result; });

        QVector<int> expected;
        for (int item = 0; item < count; ++item)
            expected << item * item;
        QCOMPARE(taken, expected);
        QVERIFY2(mostHeld <= window, qPrintable(QStringLiteral("%1 items held at once").arg(mostHeld)));
        QVERIFY(!workers.contains(QThread::currentThread()));
        if (count > threads)
            QCOMPARE(workers.size(), threads);
    }
};

QTEST_GUILESS_MAIN(InOrderTest)
#include "tst_inorder.moc"
