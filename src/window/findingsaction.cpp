// What the combined actions add after their checks: the findings drawn
// from the reports they wrote, kept in the findings file and shown last in
// the pane. Nothing of it goes into the reports themselves.

#include "window/mainwindow.h"

#include "findings/findingsfile.h"
#include "findings/findingstext.h"
#include "reports/reportsources.h"
#include "window/paneobserver.h"

QVector<findings::Finding> MainWindow::reviewReports()
{
    CurrentCheck check(*this, "findings");
    const findings::ReportSet reports = findings::installationReports();
    const QVector<findings::Finding> found = findings::evaluate(reports);
    QString problem;
    if (!findingsfile::write(findings::fileText(found, reports), &problem))
        appendToPane(QStringLiteral("The findings could not be written to %1: %2").arg(findingsfile::path(), problem));
    return found;
}

void MainWindow::showFindings(const QVector<findings::Finding> &found)
{
    CurrentCheck check(*this, "findings");
    const QString block = findings::paneBlock(found);
    showInPane(block);
    if (m_paneObserver)
        m_paneObserver->findingsShown(found, block);
}
