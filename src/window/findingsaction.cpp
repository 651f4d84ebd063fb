// What the combined actions add after their checks: the findings drawn
// from the reports they wrote, kept in the findings file and shown last in
// the pane. Nothing of it goes into the reports themselves.

#include "window/mainwindow.h"

#include "findings/findingsfile.h"
#include "findings/findingstext.h"
#include "reports/reportsources.h"
#include "window/paneobserver.h"

findings::Review MainWindow::reviewReports()
{
    CurrentCheck check(*this, "findings");
    const findings::Review found = findings::review(findings::installationReports());
    QString problem;
    if (!findingsfile::write(findings::fileText(found), &problem))
        appendToPane(QStringLiteral("The findings could not be written to %1: %2").arg(findingsfile::path(), problem));
    return found;
}

void MainWindow::showFindings(const findings::Review &review)
{
    CurrentCheck check(*this, "findings");
    const QString block = findings::paneBlock(review);
    showInPane(block);
    if (m_paneObserver)
        m_paneObserver->findingsShown(review, block);
}
