#include "mainwindow.h"

#include "cancellation.h"
#include "displaysystemrelatedinfo.h"
#include "records.h"
#include "reportprefixes.h"
#include "ui_mainwindow.h"

void MainWindow::CheckHardware()
{
    RunningAction running(*this);
    disablePushButtons(ui->harwareBtn, true);
    showBusy(true);
    records::switchReport(reportprefix::hardware());

    displaysystemrelatedinfo *info = displaysystemrelatedinfo::instance();
    using Check = void (displaysystemrelatedinfo::*)(QString &);
    static constexpr Check kChecksWithText[] = {
        &displaysystemrelatedinfo::getCpuInfo,      &displaysystemrelatedinfo::getGpuInfo,
        &displaysystemrelatedinfo::getTdrInfo,      &displaysystemrelatedinfo::getMemoryInfo,
        &displaysystemrelatedinfo::getPageFileInfo, &displaysystemrelatedinfo::getDiskInfo,
        &displaysystemrelatedinfo::getScreenInfo,   &displaysystemrelatedinfo::getSystemUpdateInfo,
    };
    for (const Check check : kChecksWithText) {
        if (cancellation::requested())
            break;
        QString text;
        (info->*check)(text);
        if (cancellation::requested())
            break;
        appendToPane(text);
    }
    // Writes to the report only.
    if (!cancellation::requested())
        info->checkD3D12Support();

    disablePushButtons(ui->harwareBtn, false);
    showBusy(false);
}
