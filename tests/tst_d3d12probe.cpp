// The Direct3D 12 probe on a machine without any graphics driver: it must
// answer "no device" at once instead of crashing or waiting.

#include "d3d12probe.h"

#include <QtTest>

class D3D12ProbeTest : public QObject
{
    Q_OBJECT

private slots:
    void noDriverMeansNoDevice()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows always has its own Direct3D 12 runtime");
#else
        // The Vulkan loader behind vkd3d then finds no driver at all.
        qputenv("VK_ICD_FILENAMES", "/nonexistent/no_icd.json");
        qputenv("VK_DRIVER_FILES", "/nonexistent/no_icd.json");
        QElapsedTimer timer;
        timer.start();
        const d3d12probe::Facts facts = d3d12probe::probe();
        QVERIFY(facts.creationResult < 0);
        QCOMPARE(facts.raytracingTier, 0);
        QVERIFY(timer.elapsed() < 30000);
#endif
    }
};

QTEST_APPLESS_MAIN(D3D12ProbeTest)
#include "tst_d3d12probe.moc"
