// The headless runner: for machines without a display (or for support
// scripts), it runs what "Check All and Zip At Once" runs, with the window
// kept off screen, and prints the pane's text when done. The reports and the
// archive come out exactly as from the window.

#include "agreementgate.h"
#include "mainwindow.h"
#include "records.h"
#include "settingsfile.h"
#include "startup.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTextEdit>
#include <QTextStream>

#include <glog/logging.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

const char kUsage[] =
    "Usage: SupportToolBatch [--accept-terms] [--no-zip]\n"
    "Runs the hardware, software-conflict and network checks and packs the logs\n"
    "and reports into zziplog.zip in the installation folder, without a window.\n"
    "  --accept-terms  accept the terms of use without being asked\n"
    "  --no-zip        run the checks only, like \"Automatic PC Conditions Check\"\n";

// Asks on the terminal when the terms have not been accepted yet.
int askOnTerminal(bool acceptGiven)
{
    if (acceptGiven)
        return 1;
    if (!isatty(STDIN_FILENO)) {
        std::fprintf(stderr, "The terms of use have not been accepted. Run with --accept-terms to accept them.\n");
        return 0;
    }
    std::printf("Before the first run, please accept the terms of use (shown in the tool's window,\n"
                "summarised here): the tool reads facts about this computer, writes them as reports\n"
                "in its installation folder and packs them with the Tessaly Render logs into\n"
                "zziplog.zip. Nothing is sent anywhere by the tool; you hand the archive over yourself.\n"
                "Accept the terms? [yes/no] ");
    std::fflush(stdout);
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "yes" || answer == "y" ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    bool acceptTerms = false;
    bool zip = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--accept-terms") == 0) {
            acceptTerms = true;
        } else if (std::strcmp(argv[i], "--no-zip") == 0) {
            zip = false;
        } else {
            std::fputs(kUsage, std::strcmp(argv[i], "--help") == 0 ? stdout : stderr);
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        }
    }

    QDir::setCurrent(startup::installationFolderOf(QString::fromUtf8(argv[0])));
    QString problem;
    if (!startup::ensureReportFolder(&problem)) {
        std::fprintf(stderr, "The report folder logs/SupportTool cannot be created here (%s).\n",
                     problem.toLocal8Bit().constData());
        return 1;
    }
    google::InitGoogleLogging(argv[0]);
    startup::tuneLogging();
    records::warning(records::kMain, 61, QStringLiteral("SupportTool beg"));

    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    startup::appendStandInsToSearchPath(QCoreApplication::applicationDirPath());

    QSettings settings(settingsfile::name(), QSettings::IniFormat);
    if (!agreement::passGate(settings, [acceptTerms] { return askOnTerminal(acceptTerms); }))
        return 0;
    settings.sync();

    MainWindow window;
    if (zip)
        window.gatherAndZipAtOnce();
    else
        window.GetSystemInfo();

    QTextStream(stdout) << window.findChild<QTextEdit *>(QStringLiteral("textEdit"))->toPlainText() << '\n';
    std::printf("\nReports: %s\n", QDir::current().absoluteFilePath(QStringLiteral("logs/SupportTool")).toLocal8Bit().constData());
    return 0;
}
