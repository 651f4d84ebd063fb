#include "window/mainwindow.h"

#include "archive/archiver.h"
#include "archive/archivereveal.h"
#include "archive/packing.h"
#include "inspection/displaysystemrelatedinfo.h"
#include "network/pingreport.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "records/reportprefixes.h"
#include "ui_mainwindow.h"

#include <QFileInfo>

void MainWindow::zipLogs()
{
    RunningAction running(*this);
    const bool archived = zipAndReveal();
    if (m_shareableCopy == ShareableCopy::AfterEveryZip && !cancellation::requested())
        makeShareableCopy(archived);
}

bool MainWindow::zipAndReveal()
{
    showBusy(true);
    packing::Outcome packed;
    {
        CurrentCheck check(*this, "collectAndZipLogs");
        appendToPane(QStringLiteral("Start Zipping..."));
        disablePushButtons(ui->zipBtn, true);
        records::switchReport(reportprefix::zip());
        // Results of address tests a killed run left in the report folder
        // are no report: they would be packed as if they were this run's.
        // No address test is running now (one action at a time, and the run
        // lock keeps other runs out), so they go, as the network action
        // clears them before its loops.
        pingreport::clearResults();

        QString appDataFolder;
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appDataFolder, packed);
        if (!cancellation::requested()) {
            const QString closing = packing::paneText(packed);
            if (!packed.complete())
                m_zipShortfalls << closing;
            appendToPane(closing);
        }
    }

    disablePushButtons(ui->zipBtn, false);
    // Only an archive this run wrote is shown: the browser is never sent to
    // a file that is not there, nor to an older archive as if it were new.
    if (!cancellation::requested() && packed.archive.written()) {
        CurrentCheck check(*this, "ExportResult");
        ExportResult();
    }
    showBusy(false);
    return packed.archive.written();
}

void MainWindow::ExportResult()
{
    const QFileInfo archive(QStringLiteral("./") + archiver::archiveName());
    appendToPane(QStringLiteral("file path: ") + archive.absolutePath());
    appendToPane(archivereveal::explorerCommandText(archive.absoluteFilePath()));
    if (m_revealsArchive && archivereveal::browserAvailable())
        archivereveal::startBrowser(*this, archive.absoluteFilePath());
}
