#include "mainwindow.h"

#include "archiver.h"
#include "archivereveal.h"
#include "cancellation.h"
#include "displaysystemrelatedinfo.h"
#include "records.h"
#include "reportprefixes.h"
#include "ui_mainwindow.h"

#include <QFileInfo>
#include <QProcess>

void MainWindow::zipLogs()
{
    RunningAction running(*this);
    zipAndReveal();
}

void MainWindow::zipAndReveal()
{
    showBusy(true);
    {
        CurrentCheck check(*this, "collectAndZipLogs");
        appendToPane(QStringLiteral("Start Zipping..."));
        disablePushButtons(ui->zipBtn, true);
        records::switchReport(reportprefix::zip());

        QString appDataFolder;
        archiver::Result archive;
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
}

void MainWindow::ExportResult()
{
    const QFileInfo archive(QStringLiteral("./") + archiver::archiveName());
    appendToPane(QStringLiteral("file path: ") + archive.absolutePath());
    appendToPane(archivereveal::explorerCommandText(archive.absoluteFilePath()));
    if (archivereveal::browserAvailable()) {
        // Owned by the window, not by this call, so the browser keeps running.
        auto *browser = new QProcess(this);
        archivereveal::startBrowser(*browser, archive.absoluteFilePath());
    }
}
