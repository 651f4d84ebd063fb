#include "mainwindow.h"

void MainWindow::GetNetInfo() {}
void MainWindow::generateConfigFile(bool &) {}
void MainWindow::GetSeverResult() {}
