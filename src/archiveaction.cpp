#include "mainwindow.h"

void MainWindow::zipLogs() {}
void MainWindow::ExportResult() {}
