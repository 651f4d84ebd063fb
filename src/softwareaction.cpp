#include "mainwindow.h"

void MainWindow::CheckSoftwareConfliction() {}
