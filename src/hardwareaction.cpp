#include "mainwindow.h"

void MainWindow::CheckHardware() {}
