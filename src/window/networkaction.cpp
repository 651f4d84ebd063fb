#include "window/mainwindow.h"

#include "inspection/displaysystemrelatedinfo.h"
#include "installation/addresslist.h"
#include "installation/pingtargets.h"
#include "installation/scratchfile.h"
#include "installation/settingsfile.h"
#include "installation/treeremoval.h"
#include "network/pingreport.h"
#include "network/serverendpoints.h"
#include "network/timedrequest.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "records/reportprefixes.h"
#include "ui_mainwindow.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

QString downloadListFileName() { return QStringLiteral("downloadConfig.txt"); }

// Writes each line and a line end, then closes the file. False when the
// file did not take every byte (a full disk), so a cut list is not used.
bool writeLines(QFile &file, const QStringList &lines)
{
    QTextStream stream(&file);
    for (const QString &line : lines)
        stream << line << '\n';
    stream.flush();
    const bool whole = stream.status() == QTextStream::Ok && file.flush() && file.error() == QFileDevice::NoError;
    file.close();
    return whole && file.error() == QFileDevice::NoError;
}

// Opens a list file afresh: a list left by a run that was killed before
// removing it, and longer than this run's, must not lend its tail to the
// loops. A link or pipe under the name was cleared away before.
bool openList(QFile &file)
{
    return file.open(QIODevice::ReadWrite | QIODevice::Truncate);
}

// The temporary files of the address tests (after a cancel also the results
// the cut-short loops left, which no report holds), and a "temp" folder that
// may be left in the installation folder: removed as a link when it is one,
// emptied without following any link inside it otherwise.
void removeTemporaryFiles()
{
    for (const QString &name : {pingtargets::listFileName(), downloadListFileName()}) {
        if (QFile::exists(name))
            QFile::remove(name);
    }
    if (cancellation::requested())
        pingreport::clearResults();
    const QString temp = QStringLiteral("temp");
    if (QFileInfo(temp).isDir())
        treeremoval::removeTree(temp);
}

bool goOn() { return !cancellation::requested(); }

} // namespace

void MainWindow::GetNetInfo()
{
    RunningAction running(*this);
    showBusy(true);
    disablePushButtons(ui->networkBtn, true);
    displaysystemrelatedinfo *inspection = displaysystemrelatedinfo::instance();

    bool iniExist = true;
    {
        CurrentCheck check(*this, "generateConfigFile");
        generateConfigFile(iniExist);
    }
    if (iniExist) {
        QString pingOutput;
        {
            CurrentCheck check(*this, "runPing");
            inspection->runPing(pingOutput);
            if (goOn())
                appendToPane(pingOutput);
        }
        QString routeOutput;
        if (goOn()) {
            CurrentCheck check(*this, "runTracert");
            inspection->runTracert(routeOutput);
            if (goOn())
                appendToPane(routeOutput);
        }
        if (goOn()) {
            CurrentCheck check(*this, "reportPingTracert");
            const QStringList missing = pingreport::missingResults();
            reportPingTracert();
            // Addresses were listed but the loops left no answers (a full disk, a
            // tool that could not write): say so rather than leave no report.
            if (!missing.isEmpty()) {
                const QString message = missing.join(QStringLiteral(" and "))
                                        + (missing.size() > 1 ? QStringLiteral(" were") : QStringLiteral(" was"))
                                        + QStringLiteral(" not written by the ping and route loops; this run's ping "
                                                         "and route results are missing");
                warnInPane(157, message);
            }
            appendToPane(QStringLiteral("ping and traceout finished, test server...."));
        }
    }
    if (goOn()) {
        CurrentCheck check(*this, "GetSeverResult");
        GetSeverResult();
    }
    // Also after a cancellation: the next run must start without these files.
    removeTemporaryFiles();

    if (goOn()) {
        CurrentCheck check(*this, "getFirewallInfo");
        appendToPane(QStringLiteral("Start to test your Network Configuration"));
        records::switchReport(reportprefix::networkConfig());
        QString configuration;
        QString rules;
        inspection->getFirewallInfo(configuration, rules);
        if (goOn()) { // a cut-short check shows nothing
            appendToPane(configuration);
            appendToPane(rules);
        }
    }
    if (goOn()) {
        CurrentCheck check(*this, "getNetworkInfo");
        QString status;
        QString vpn;
        inspection->getNetworkInfo(status, vpn);
        if (goOn()) {
            appendToPane(status);
            appendToPane(vpn);
        }
    }

    disablePushButtons(ui->networkBtn, false);
    showBusy(false);
}

void MainWindow::generateConfigFile(bool &iniExist)
{
    const settingsfile::Contents settings = settingsfile::read();
    if (!settings.exists()) {
        const QString message = settingsfile::missingNotice();
        appendToPane(message);
        records::info(records::kMainWindow, 408, message);
        iniExist = false;
        return;
    }
    // A file that cannot be read lists no address; say why rather than test nothing silently.
    if (settings.state == settingsfile::Contents::State::Unreadable) {
        const QString message = settingsfile::unreadableNotice(settings);
        warnInPane(411, message);
        iniExist = false;
        return;
    }
    // The console loops read the lists under these names: a link or a pipe
    // left there would be written through or waited on.
    for (const QString &name : {pingtargets::listFileName(), downloadListFileName()})
        scratchfile::clearOdd(name);
    QFile addresses(pingtargets::listFileName());
    QFile downloads(downloadListFileName());
    const addresslist::AddressList list = addresslist::addressList(settings.entries(QStringLiteral("ipconfig")));
    // A list that cannot be written afresh, or in full (a full disk), would
    // hold an earlier run's addresses or only some of this run's.
    if (!openList(addresses) || !writeLines(addresses, list.lines)) {
        const QString message = QStringLiteral("%1 cannot be written (%2); the addresses are not pinged or traced")
                                    .arg(pingtargets::listFileName(), addresses.errorString());
        warnInPane(413, message);
        iniExist = false;
        return;
    }
    openList(downloads);
    writeLines(downloads, settings.values(QStringLiteral("downloadConfig")));

    // Like the missing-settings notice, these go to the report of the moment.
    if (list.tooLong > 0) {
        const QString message = QStringLiteral("%1 holds addresses longer than %3 characters (%2), which cannot be "
                                               "host names; they are not tested")
                                    .arg(settingsfile::name())
                                    .arg(list.tooLong)
                                    .arg(pingtargets::kMaxTargetLength);
        warnInPane(410, message);
    }
    if (list.targets > pingtargets::kMaxTargets) {
        const QString message = QStringLiteral("%1 lists %2 addresses to test; only the first %3 are pinged and traced")
                                    .arg(settingsfile::name())
                                    .arg(list.targets)
                                    .arg(pingtargets::kMaxTargets);
        warnInPane(409, message);
    }
    if (!list.notAddresses.isEmpty()) {
        const QString message = QStringLiteral("%1 lists values under [ipconfig] that are not addresses; they are not "
                                               "tested: %2")
                                    .arg(settingsfile::name(), list.notAddresses.join(QStringLiteral(", ")));
        warnInPane(412, message);
    }

    // The tools append to the result files, so answers left there would be
    // reported as this run's.
    const QStringList kept = pingreport::clearResults();
    if (!kept.isEmpty()) {
        const QString message = QStringLiteral("%1 from an earlier run cannot be removed; the addresses are not "
                                               "pinged or traced, so that the report holds no older answers")
                                    .arg(kept.join(QStringLiteral(" and ")));
        warnInPane(414, message);
        iniExist = false;
    }
}

void MainWindow::GetSeverResult()
{
    records::switchReport(reportprefix::networkServer());
    const serverendpoints::Plan plan = serverendpoints::plan(settingsfile::read());

    for (const serverendpoints::Target &target : plan.targets) {
        const bool download = target.test == serverendpoints::Test::Download;
        const int elapsedMs =
            timedRequest(target.baseUrl, download ? serverendpoints::downloadFileName() : QString(),
                         plan.transferTimeoutMs);
        if (cancellation::requested())
            return; // a cut-short request proves nothing about the server

        const QString what = download ? QStringLiteral("download file") : QStringLiteral("query API");
        if (elapsedMs < 0) {
            records::info(records::kMainWindow, download ? 318 : 347,
                          what + QStringLiteral(" fail from ") + target.baseUrl + QStringLiteral(" failed"));
            appendToPane(what + QStringLiteral(" fail from "));
            appendToPane(target.baseUrl);
            appendToPane(QStringLiteral(" failed \n"));
        } else {
            const QString milliseconds = QString::number(elapsedMs);
            records::info(records::kMainWindow, download ? 325 : 354,
                          what + QStringLiteral(" done from ") + target.baseUrl + QStringLiteral(" in ") + milliseconds
                              + QStringLiteral(" ms"));
            appendToPane(what + QStringLiteral(" done from "));
            appendToPane(target.baseUrl);
            appendToPane(QStringLiteral(" in "));
            appendToPane(milliseconds);
            appendToPane(QStringLiteral(" ms \n"));
        }
    }
    records::info(records::kMainWindow, 364, QLatin1Char('\n') + records::hyphens(91) + QLatin1Char('\n'));
}

void MainWindow::warnInPane(int line, const QString &message)
{
    appendToPane(message);
    records::warning(records::kMainWindow, line, message);
}
