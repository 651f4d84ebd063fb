// Drives the Windows window program under Wine on an X server of its own
// (Xvfb), as a person would, for the Windows check:
//
//   windowunderwine INSTALLATION REVEAL-RECORD OUTPUT-FOLDER PROGRAM [ARGUMENT...]
//
// PROGRAM (wine with SupportTool.exe of INSTALLATION) starts with no
// acceptance recorded: the terms dialog must appear, and Return (its OK)
// lets the main window show. A click on "Check All and Zip At Once"
// (through XTest) must run to its end: the archive revealed (a line more in
// REVEAL-RECORD, the stand-in explorer's record), the findings file
// written, the findings block in the pane (copied from the pane through
// the clipboard: Control+A, Control+C). A second click, then the close
// button once that run's hardware report is begun, must end the program
// with status 0.
// OUTPUT-FOLDER gets the pictures of the dialog (eula.png) and of the
// window after the first run (window.png), the pane's text (pane.txt) and
// the program's output (program.log). Exit status 0 when all of it held,
// else 1 with the reason on standard error.

#include "mainwindowlayout.h"
#include "virtualdisplay.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <functional>

namespace {

constexpr int kMapTimeoutMs = 90 * 1000;  // Wine and Qt starting in a fresh prefix
constexpr int kRunTimeoutMs = 180 * 1000; // "Check All and Zip At Once" under Wine: about 30 s
constexpr int kCloseTimeoutMs = 60 * 1000;
const QSize kDialogSize(637, 432);
const QSize kWindowSize(767, 425);
using bench::kEverythingCentre;
using bench::kPaneCentre;
constexpr std::uint32_t kReturn = 0xff0d, kControl = 0xffe3, kLetterA = 0x61, kLetterC = 0x63;

class Driver
{
public:
    Driver(QStringList arguments) : m_arguments(std::move(arguments)) {}

    bool run()
    {
        const QString installation = m_arguments.at(0);
        const QString revealRecord = m_arguments.at(1);
        m_output = QDir(m_arguments.at(2));
        QString error;
        if (!m_display.start(m_output.filePath(QStringLiteral("xvfb.log")), &error))
            return fail(error);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display.name());
        m_program.setProcessEnvironment(environment);
        m_program.setProcessChannelMode(QProcess::MergedChannels);
        m_program.setStandardOutputFile(m_output.filePath(QStringLiteral("program.log")));
        m_program.start(m_arguments.at(3), m_arguments.mid(4));
        if (!m_program.waitForStarted())
            return fail(QStringLiteral("the program did not start: ") + m_program.errorString());

        // The terms dialog, and OK by its default button.
        const std::uint32_t dialog = waitForWindow(kDialogSize);
        if (dialog == 0)
            return fail(QStringLiteral("no terms dialog of 637 by 432 appeared"));
        QThread::msleep(1500);
        if (!m_display.grab(dialog).save(m_output.filePath(QStringLiteral("eula.png"))))
            return fail(QStringLiteral("the terms dialog could not be pictured"));
        m_display.pressKeys({kReturn});
        const std::uint32_t window = waitForWindow(kWindowSize);
        if (window == 0)
            return fail(QStringLiteral("no main window of 767 by 425 appeared after OK"));
        say("the terms dialog appeared; OK showed the main window");

        // A whole run, clicked.
        QThread::msleep(1500);
        const int revealsBefore = lineCount(revealRecord);
        m_display.click(m_display.origin(window) + kEverythingCentre);
        const QString findingsFile = QDir(installation).filePath(QStringLiteral("logs/SupportTool/findings.txt"));
        if (!waitUntil(kRunTimeoutMs, [&] { return lineCount(revealRecord) > revealsBefore && QFile::exists(findingsFile); }))
            return fail(QStringLiteral("the click on \"Check All and Zip At Once\" did not reach the archive's reveal and "
                                       "the findings within %1 s").arg(kRunTimeoutMs / 1000));
        QString pane;
        if (!waitUntil(30 * 1000, [&] {
                pane = paneText(window);
                return pane.contains(QLatin1String("\nFindings: "));
            }))
            return fail(QStringLiteral("the pane shows no findings block: ") + pane.right(500));
        QFile paneFile(m_output.filePath(QStringLiteral("pane.txt")));
        if (!paneFile.open(QIODevice::WriteOnly) || paneFile.write(pane.toUtf8()) < 0)
            return fail(QStringLiteral("the pane's text could not be kept"));
        // Deselected, so the picture shows the pane as the run left it.
        m_display.click(m_display.origin(window) + kPaneCentre);
        m_display.pressKeys({kControl, 0xff57}); // Control+End: the end of the pane, as after the run
        QThread::msleep(1000);
        if (!m_display.grab(window).save(m_output.filePath(QStringLiteral("window.png"))))
            return fail(QStringLiteral("the window could not be pictured"));
        say("\"Check All and Zip At Once\" ran to its end, the findings block in the pane");

        // A second run, stopped by the close button once its first report,
        // the hardware one, is begun: the software, network and zip steps
        // are still ahead.
        const int hardwareReportsBefore = hardwareReports(installation);
        m_display.click(m_display.origin(window) + kEverythingCentre);
        if (!waitUntil(kRunTimeoutMs, [&] { return hardwareReports(installation) > hardwareReportsBefore; }))
            return fail(QStringLiteral("the second click began no hardware report within %1 s").arg(kRunTimeoutMs / 1000));
        m_display.requestClose(window);
        if (!m_program.waitForFinished(kCloseTimeoutMs))
            return fail(QStringLiteral("the close button did not end the program within %1 s").arg(kCloseTimeoutMs / 1000));
        if (m_program.exitStatus() != QProcess::NormalExit || m_program.exitCode() != 0)
            return fail(QStringLiteral("the program ended with %1 after the close button").arg(m_program.exitCode()));
        say("the close button during a second run ended the program with 0");
        return true;
    }

private:
    std::uint32_t waitForWindow(const QSize &size)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kMapTimeoutMs) {
            const bench::VirtualDisplay::Mapped mapped = m_display.waitForMap(int(kMapTimeoutMs - clock.elapsed()));
            if (mapped.window != 0 && m_display.size(mapped.window) == size)
                return mapped.window;
        }
        return 0;
    }

    // Everything in the pane, as a person copies it.
    QString paneText(std::uint32_t window)
    {
        m_display.click(m_display.origin(window) + kPaneCentre);
        m_display.pressKeys({kControl, kLetterA});
        m_display.pressKeys({kControl, kLetterC});
        QThread::msleep(500);
        return m_display.clipboardText(5000);
    }

    bool waitUntil(int timeoutMs, const std::function<bool()> &condition)
    {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.elapsed() > timeoutMs || m_program.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(500);
        }
        return true;
    }

    static int hardwareReports(const QString &installation)
    {
        return QDir(QDir(installation).filePath(QStringLiteral("logs/SupportTool")))
            .entryList({QStringLiteral("SupportLog_HardWare_*")}, QDir::Files)
            .size();
    }

    static int lineCount(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
    }

    static void say(const char *text) { std::printf("windowunderwine: %s\n", text); }

    bool fail(const QString &why)
    {
        std::fprintf(stderr, "windowunderwine: %s\n", qPrintable(why));
        return false;
    }

    QStringList m_arguments;
    QDir m_output;
    bench::VirtualDisplay m_display;
    QProcess m_program;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 4) {
        std::fputs("usage: windowunderwine INSTALLATION REVEAL-RECORD OUTPUT-FOLDER PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    Driver driver(arguments);
    const bool passed = driver.run();
    return passed ? 0 : 1;
}
