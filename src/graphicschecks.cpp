#include "displaysystemrelatedinfo.h"

void displaysystemrelatedinfo::getTdrInfo(QString &) {}
void displaysystemrelatedinfo::checkD3D12Support() {}
