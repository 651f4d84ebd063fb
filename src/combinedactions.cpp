#include "mainwindow.h"

#include "cancellation.h"

void MainWindow::GetSystemInfo()
{
    RunningAction running(*this);
    CheckHardware();
    if (cancellation::requested())
        return;
    CheckSoftwareConfliction();
    if (cancellation::requested())
        return;
    GetNetInfo();
}

void MainWindow::gatherAndZipAtOnce()
{
    RunningAction running(*this);
    // The archive is made last so that it holds the reports just written.
    GetSystemInfo();
    if (cancellation::requested())
        return;
    zipAndReveal();
}
