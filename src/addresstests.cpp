#include "displaysystemrelatedinfo.h"

void displaysystemrelatedinfo::runPing(QString &) {}
void displaysystemrelatedinfo::runTracert(QString &) {}
