#include "displaysystemrelatedinfo.h"

void displaysystemrelatedinfo::getCpuInfo(QString &) {}
void displaysystemrelatedinfo::getGpuInfo(QString &) {}
void displaysystemrelatedinfo::getMemoryInfo(QString &) {}
void displaysystemrelatedinfo::getPageFileInfo(QString &) {}
void displaysystemrelatedinfo::getDiskInfo(QString &) {}
void displaysystemrelatedinfo::getScreenInfo(QString &) {}
