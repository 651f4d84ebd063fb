#include "window/mainwindow.h"

#include "archive/archiver.h"
#include "archive/archivereveal.h"
#include "inspection/displaysystemrelatedinfo.h"
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
    archiver::Result archive;
    {
        CurrentCheck check(*this, "collectAndZipLogs");
        appendToPane(QStringLiteral("Start Zipping..."));
        disablePushButtons(ui->zipBtn, true);
        records::switchReport(reportprefix::zip());

        QString appDataFolder;
        displaysystemrelatedinfo::instance()->collectAndZipLogs(appDataFolder, archive);
        if (!cancellation::requested()) {
            appendToPane(archive.failed() ? archiver::failurePaneText(archive)
                                          : QStringLiteral("All the logs have been packed and zipped into \"zziplog.zip\" "
                                                           "under your Tessaly render installation folder"));
        }
    }

    disablePushButtons(ui->zipBtn, false);
    if (!cancellation::requested()) {
        CurrentCheck check(*this, "ExportResult");
        ExportResult();
    }
    showBusy(false);
    return archive.status != archiver::Result::Status::NotRun && !archive.failed();
}

void MainWindow::ExportResult()
{
    const QFileInfo archive(QStringLiteral("./") + archiver::archiveName());
    appendToPane(QStringLiteral("file path: ") + archive.absolutePath());
    appendToPane(archivereveal::explorerCommandText(archive.absoluteFilePath()));
    if (archivereveal::browserAvailable())
        archivereveal::startBrowser(*this, archive.absoluteFilePath());
}
