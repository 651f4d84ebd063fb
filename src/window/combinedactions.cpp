#include "window/mainwindow.h"

#include "process/cancellation.h"

void MainWindow::GetSystemInfo()
{
    RunningAction running(*this);
    runInspections();
    if (cancellation::requested())
        return;
    showFindings(reviewReports());
}

void MainWindow::runInspections()
{
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
    // The archive is made last so that it holds the reports just written,
    // and the findings file drawn from them; the findings are shown after
    // every text of the zip step.
    runInspections();
    if (cancellation::requested())
        return;
    const findings::Review found = reviewReports();
    const bool archived = zipAndReveal();
    if (cancellation::requested())
        return;
    // Where the shareable copy went belongs with the archive's texts; the
    // findings still end the action.
    if (m_shareableCopy != ShareableCopy::Never) {
        makeShareableCopy(archived);
        if (cancellation::requested())
            return;
    }
    showFindings(found);
}
