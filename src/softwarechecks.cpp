#include "displaysystemrelatedinfo.h"

void displaysystemrelatedinfo::getSystemUpdateInfo(QString &) {}
void displaysystemrelatedinfo::getFirewallInfo(QString &, QString &) {}
void displaysystemrelatedinfo::getNetworkInfo(QString &, QString &) {}
void displaysystemrelatedinfo::getProcessInfo(QString &) {}
