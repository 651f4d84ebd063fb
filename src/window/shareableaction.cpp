// The shareable copy after the zip step. The program SupportToolShareable
// writes it while the window waits in a local event loop, as it waits for
// the archiver: the window stays live, and closing it stops the program.

#include "window/mainwindow.h"

#include "shareable/shareableprogram.h"
#include "ui_mainwindow.h"

void MainWindow::makeShareableCopy(bool archived)
{
    CurrentCheck check(*this, "shareableCopy");
    if (!archived) {
        m_shareableCopyFailures << shareablecopy::notMadeText();
        appendToPane(m_shareableCopyFailures.last());
        return;
    }
    showBusy(true);
    disablePushButtons(ui->zipBtn, true);
    const shareableprogram::Result result = shareableprogram::run();
    disablePushButtons(ui->zipBtn, false);
    showBusy(false);
    if (result.status == shareablecopy::Outcome::Status::Cancelled)
        return;
    if (result.status != shareablecopy::Outcome::Status::Written)
        m_shareableCopyFailures << result.paneText;
    appendToPane(result.paneText);
}
