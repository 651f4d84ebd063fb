// The Direct3D 12 probe: on a machine without any graphics driver it must
// answer "no device" at once instead of crashing or waiting, and the probe
// program the tool runs must tell exactly what the query tells in process.

#include "d3d12/d3d12probe.h"
#include "d3d12/d3d12probeline.h"

#include <QProcess>
#include <QtTest>

namespace {

#ifndef Q_OS_WIN
// The facts the probe program prints when run with environment.
std::optional<d3d12probe::Facts> programFacts(const QProcessEnvironment &environment)
{
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(STANDIN_DIR "/d3d12probe"), QStringList());
    if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return std::nullopt;
    const QByteArray line = probe.readAllStandardOutput().trimmed();
    return d3d12probe::fromLine(std::string_view(line.constData(), line.size()));
}

QByteArray describe(const d3d12probe::Facts &facts) { return QByteArray::fromStdString(d3d12probe::toLine(facts)); }
#endif

} // namespace

class D3D12ProbeTest : public QObject
{
    Q_OBJECT

private slots:
    // Runs first, while the process still sees this machine's drivers.
    void programAgreesWithTheQuery()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows makes the query in the tool's own process");
#else
        const std::optional<d3d12probe::Facts> fromProgram = programFacts(QProcessEnvironment::systemEnvironment());
        QVERIFY(fromProgram);
        QCOMPARE(describe(*fromProgram), describe(d3d12probe::probe()));
#endif
    }

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

        const std::optional<d3d12probe::Facts> fromProgram = programFacts(QProcessEnvironment::systemEnvironment());
        QVERIFY(fromProgram);
        QCOMPARE(describe(*fromProgram), describe(facts));
#endif
    }
};

QTEST_APPLESS_MAIN(D3D12ProbeTest)
#include "tst_d3d12probe.moc"
