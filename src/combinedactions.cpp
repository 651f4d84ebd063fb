#include "mainwindow.h"

void MainWindow::GetSystemInfo() {}
void MainWindow::gatherAndZipAtOnce() {}
