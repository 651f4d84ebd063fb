// The actions against a "powershell" that misbehaves: one that hangs, one
// that ends at once saying nothing, one that floods its output, one that
// writes bytes no code page knows, and one that is missing or cannot be
// run. Each action must end in time, come back, leave nothing outside its
// folders and claim no finding the command never delivered.

#include "faultverdict.h"
#include "findings/findings.h"
#include "inspection/displaysystemrelatedinfo.h"
#include "networksettings.h"
#include "powershellanswers.h"
#include "records/records.h"
#include "reports/reportsources.h"
#include "sandbox.h"
#include "testsupport.h"
#include "window/mainwindow.h"
#include "windowprobe.h"

#include <QFile>
#include <QTextCodec>
#include <QtTest>

using namespace testsupport;

namespace {

using Slot = void (MainWindow::*)();

enum class Fault { Hangs, Silent, Floods, FloodsErrors, InvalidBytes, Missing, NotExecutable };

// How long the fixture's commands may take in this test program: a hanging
// command is stopped after this, not after minutes. Under Wine a program
// takes a few hundred milliseconds to start.
#ifdef Q_OS_WIN
constexpr int kCommandLimitMs = 1500;
#else
constexpr int kCommandLimitMs = 400;
#endif
constexpr qint64 kFloodBytes = 100 * 1024 * 1024;
#ifdef Q_OS_WIN
// The test's own setting (tests/CMakeLists.txt), which loads the fixture.
const char kLoadTheFixture[] = "mscoree=;mshtml=;powershell.exe=n";
#endif

// Records whose text says there is none of something: true only when the
// command answered and said nothing.
const QStringList kNoneClaims = {
    QStringLiteral("There is no conflicting software running.."),
    QStringLiteral("There is no firewall configuration"),
    QStringLiteral("There is no Tessaly related firewall rules"),
    QStringLiteral("There is no VPN Configuration"),
};

void addFaultyPowerShell(const FixturePath &fixtures, Fault fault)
{
    Answer answer;
    switch (fault) {
    case Fault::Hangs:
        answer.ending = Ending::Hang;
        break;
    case Fault::Silent:
        break;
    case Fault::Floods:
        answer.output = "Caption : flooding line of output, Ünïcödé\n";
        answer.floodBytes = kFloodBytes;
        break;
    case Fault::FloodsErrors:
        answer.errors = "error line\n";
        answer.floodBytes = kFloodBytes;
        break;
    case Fault::InvalidBytes: {
        // Not UTF-8 (the locale's code page here): lone continuation bytes,
        // a cut sequence, Latin-1 letters, a NUL, a byte-order mark of UTF-16.
        static const char bytes[] = "\xff\xfe\r\n\r\nCaption : \xe9t\xe9 \x80\xbf\r\nName : \xc3\r\n"
                                    "x\0y\r\nLast : \xe0\xa0\r\n\r\n\r\n\r\n";
        answer.output = QByteArray(bytes, sizeof bytes - 1);
        answer.errors = "\xff broken error\n";
        break;
    }
    case Fault::Missing:
        // No "powershell" on the search path. Windows always has one, in
        // system32, found before the search path: the nearest thing there
        // is Wine's own stub (rather than the fixture), which answers nothing.
#ifdef Q_OS_WIN
        qputenv("WINEDLLOVERRIDES", "mscoree=;mshtml=;powershell.exe=b");
#endif
        return;
    case Fault::NotExecutable:
        fixtures.addScript(QStringLiteral("powershell"), "exit 0");
        QFile::setPermissions(fixtures.path() + QStringLiteral("/powershell"), QFile::ReadOwner | QFile::WriteOwner);
        return;
    }
    QVERIFY(PowerShellAnswers(fixtures).addFallback(answer));
}

// The network action's address tests run through "cmd": on Windows the
// system's own (in system32, found before the search path), which runs
// ping against 127.0.0.1; elsewhere one that answers nothing.
void addSilentCmd(const FixturePath &fixtures)
{
#ifdef Q_OS_WIN
    Q_UNUSED(fixtures)
#else
    fixtures.addProgram(QStringLiteral("cmd"), {});
#endif
}

bool neverAnswers(Fault fault)
{
#ifdef Q_OS_WIN
    // There the missing PowerShell is a silent one.
    const bool missingAnswers = true;
#else
    const bool missingAnswers = false;
#endif
    return fault == Fault::Hangs || fault == Fault::Floods || fault == Fault::FloodsErrors
        || (fault == Fault::Missing && !missingAnswers) || fault == Fault::NotExecutable;
}

// Whether a warning record of the runner at line says why a command that
// never answered gave nothing.
bool saysWhy(Fault fault, int line)
{
    switch (fault) {
    case Fault::Hangs: return line == 43;
    case Fault::Floods:
    case Fault::FloodsErrors:
#ifdef Q_OS_WIN
        // Wine's pipes are slow enough that the time limit may come before
        // the output limit.
        return line == 45 || line == 43;
#else
        return line == 45;
#endif
    case Fault::Missing:
    case Fault::NotExecutable: return line == 41;
    default: return false;
    }
}

// Peak memory of this process so far, in bytes.
qint64 peakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

bool isUtf8(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0;
}

} // namespace

Q_DECLARE_METATYPE(Slot)
Q_DECLARE_METATYPE(Fault)

class FaultCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("SUPPORTTOOL_COMMAND_TIMEOUT_MS", QByteArray::number(kCommandLimitMs));
        QCOMPARE(displaysystemrelatedinfo::defaultCommandTimeoutMs(), kCommandLimitMs);
        initWindowTests();
    }

    // The missing PowerShell's case changes which one Wine loads.
    void init()
    {
#ifdef Q_OS_WIN
        qputenv("WINEDLLOVERRIDES", kLoadTheFixture);
#endif
    }

    void faultyPowerShell_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<Slot>("slot");
        const struct
        {
            const char *name;
            Fault fault;
        } faults[] = {{"hangs", Fault::Hangs},
                      {"ends at once with nothing", Fault::Silent},
                      {"writes 100 MB", Fault::Floods},
                      {"writes 100 MB of errors", Fault::FloodsErrors},
                      {"writes invalid bytes", Fault::InvalidBytes},
                      {"missing", Fault::Missing},
#ifndef Q_OS_WIN
                      // Windows runs a program whatever its permission bits say.
                      {"not executable", Fault::NotExecutable},
#endif
        };
        const struct
        {
            const char *name;
            Slot slot;
        } actions[] = {
#ifndef Q_OS_WIN
            // Under Wine a program takes a few hundred milliseconds to start:
            // the runner meets each fault through the software action's one
            // command there, the others' many would take minutes.
            {"hardware", &MainWindow::CheckHardware},
#endif
            {"software", &MainWindow::CheckSoftwareConfliction},
#ifndef Q_OS_WIN
            {"network", &MainWindow::GetNetInfo},
#endif
        };
        for (const auto &f : faults) {
            for (const auto &a : actions)
                QTest::addRow("%s: powershell %s", a.name, f.name) << f.fault << a.slot;
        }
    }
    void faultyPowerShell()
    {
        QFETCH(Fault, fault);
        QFETCH(Slot, slot);

        const FixturePath fixtures;
        addFaultyPowerShell(fixtures, fault);
        addSilentCmd(fixtures);
        Sandbox sandbox;
        QFile settings(QStringLiteral("SupportToolConfig.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(unreachableServerHosts() + addressGroup({QStringLiteral("127.0.0.1")}));
        settings.close();

        MainWindow window;
        const qint64 peakBefore = peakMemory();
        const BoundedRun run = runBounded(window, slot, 20000);
        const QStringList broken = brokenPromises(window, run, sandbox);
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1String("; "))));
        // Whatever a command writes, the tool keeps a bounded part of it. (Under
        // AddressSanitizer freed memory is held back in quarantine, so the peak
        // says nothing there.)
#ifndef __SANITIZE_ADDRESS__
        QVERIFY2(peakMemory() - peakBefore < 120 * 1024 * 1024,
                 qPrintable(QStringLiteral("peak memory grew by %1 MB").arg((peakMemory() - peakBefore) >> 20)));
#else
        Q_UNUSED(peakBefore)
#endif

        const QStringList reports = reportFiles(QString());
        QVERIFY(!reports.isEmpty());
        for (const QString &report : reports)
            QVERIFY2(isUtf8(readFile(report)), qPrintable(report + QStringLiteral(" is not UTF-8")));

        if (neverAnswers(fault)) {
            const QString written = allReportsText();
            for (const QString &claim : kNoneClaims)
                QVERIFY2(!written.contains(claim), qPrintable(claim));
            bool told = false;
            for (const QString &report : reports) {
                for (const Record &record : recordsOf(report))
                    told = told || (record.level == QLatin1Char('W') && saysWhy(fault, record.line));
            }
            QVERIFY2(told, "no record says why the command gave nothing");
        }
    }

    // A command that printed part of its answer (a conflicting process, a
    // blocking firewall rule, a VPN) and then hung past its time limit: the
    // reports keep what it printed, and no finding is drawn from it.
    void partialAnswersMakeNoFinding()
    {
        const FixturePath fixtures;
        Answer partial;
        partial.output = "Process=avp                       CPU_Usage_%=3            Memory_Usage_=1.5\r\n"
                         "\r\nName : {5F1C}\r\nDisplayName : Tessaly Render In\r\nEnabled : True\r\n"
                         "Direction : Inbound\r\nAction : Block\r\n\r\n\r\n";
        partial.ending = Ending::Hang;
        QVERIFY(PowerShellAnswers(fixtures).addFallback(partial));
        addSilentCmd(fixtures);
        Sandbox sandbox;
        QFile settings(QStringLiteral("SupportToolConfig.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly) && settings.write(unreachableServerHosts()) > 0);
        settings.close();

        MainWindow window;
        for (const Slot slot : {&MainWindow::CheckSoftwareConfliction, &MainWindow::GetNetInfo}) {
            const QStringList broken = brokenPromises(window, runBounded(window, slot, 20000), sandbox);
            QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1String("; "))));
        }
        // Without the "\r" the logging library writes before each "\n" on Windows.
        const QString written = allReportsText().remove(QLatin1Char('\r'));
        for (const char *kept : {"] \n**NOTICE: wwbizsrv", "] Tessaly related firewall rules: \n", "] VPN Info: \n"})
            QVERIFY2(written.contains(QLatin1String(kept)), kept);
        QStringList codes;
        for (const findings::Finding &finding : findings::evaluate(findings::installationReports()))
            codes << finding.code;
        QVERIFY2(!codes.contains(QStringLiteral("conflicting-software")) && !codes.contains(QStringLiteral("firewall-blocks-tessaly"))
                     && !codes.contains(QStringLiteral("vpn-present")),
                 qPrintable(codes.join(QLatin1Char(' '))));
    }

    // Output beyond any record's length, in letters of more than one byte:
    // the record is cut, but never inside a letter.
    void longRecordsStayUtf8_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("two-byte letters") << QString(20000, QChar(0xE9));
        QTest::newRow("two-byte letters, shifted by one") << QLatin1Char('a') + QString(20000, QChar(0xE9));
        QTest::newRow("three-byte letters") << QString(15000, QChar(0x4F8B));
        QTest::newRow("four-byte letters") << QString::fromUtf8(QByteArray(10000 * 4, '\0').replace(
            QByteArray(4, '\0'), QByteArray("\xF0\x9F\x98\x80")));
    }
    void longRecordsStayUtf8()
    {
        QFETCH(QString, text);
        const InstallFolder install;
        records::switchReport(QStringLiteral("./logs/SupportTool/SupportLog_long_"));
        records::info(records::kInspection, 46, text);
        records::warning(records::kInspection, 46, QStringLiteral("after"));
        const QStringList reports = reportFiles(QStringLiteral("SupportLog_long_"));
        QCOMPARE(reports.size(), 1);
        QVERIFY(isUtf8(readFile(reports.first())));
        const QList<Record> written = recordsOf(reports.first());
        QCOMPARE(written.size(), 2);
        QVERIFY(text.startsWith(written.first().text));
        QVERIFY(written.first().text.toUtf8().size() > 29000);
        QCOMPARE(written.last().text, QStringLiteral("after"));
    }
};

QTEST_MAIN(FaultCommandsTest)
#include "tst_fault_commands.moc"
