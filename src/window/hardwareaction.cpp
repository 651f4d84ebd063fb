#include "window/mainwindow.h"

#include "inspection/displaysystemrelatedinfo.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "records/reportprefixes.h"
#include "ui_mainwindow.h"

void MainWindow::CheckHardware()
{
    RunningAction running(*this);
    disablePushButtons(ui->harwareBtn, true);
    showBusy(true);
    records::switchReport(reportprefix::hardware());

    displaysystemrelatedinfo *info = displaysystemrelatedinfo::instance();
    using CheckFunction = void (displaysystemrelatedinfo::*)(QString &);
    struct Check
    {
        const char *name;
        CheckFunction run;
    };
    static constexpr Check kChecksWithText[] = {
        {"getCpuInfo", &displaysystemrelatedinfo::getCpuInfo},
        {"getGpuInfo", &displaysystemrelatedinfo::getGpuInfo},
        {"getTdrInfo", &displaysystemrelatedinfo::getTdrInfo},
        {"getMemoryInfo", &displaysystemrelatedinfo::getMemoryInfo},
        {"getPageFileInfo", &displaysystemrelatedinfo::getPageFileInfo},
        {"getDiskInfo", &displaysystemrelatedinfo::getDiskInfo},
        {"getScreenInfo", &displaysystemrelatedinfo::getScreenInfo},
        {"getSystemUpdateInfo", &displaysystemrelatedinfo::getSystemUpdateInfo},
    };
    for (const Check &check : kChecksWithText) {
        if (cancellation::requested())
            break;
        CurrentCheck current(*this, check.name);
        QString text;
        (info->*check.run)(text);
        if (cancellation::requested())
            break;
        appendToPane(text);
    }
    // Writes to the report only.
    if (!cancellation::requested()) {
        CurrentCheck current(*this, "checkD3D12Support");
        info->checkD3D12Support();
    }

    disablePushButtons(ui->harwareBtn, false);
    showBusy(false);
}
