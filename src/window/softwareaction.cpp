#include "inspection/displaysystemrelatedinfo.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "records/reportprefixes.h"
#include "window/mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::CheckSoftwareConfliction()
{
    RunningAction running(*this);
    showBusy(true);
    disablePushButtons(ui->softwareBtn, true);
    records::switchReport(reportprefix::softwareConfliction());

    {
        CurrentCheck check(*this, "getProcessInfo");
        QString processes;
        displaysystemrelatedinfo::instance()->getProcessInfo(processes);
        if (!cancellation::requested())
            appendToPane(processes);
    }

    disablePushButtons(ui->softwareBtn, false);
    showBusy(false);
}
