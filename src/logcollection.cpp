#include "displaysystemrelatedinfo.h"

void displaysystemrelatedinfo::collectAndZipLogs(QString &) {}
bool displaysystemrelatedinfo::copyLogFolder(const QString &, const QString &) { return false; }
void displaysystemrelatedinfo::removeCopiedFolder(const QString &) {}
void displaysystemrelatedinfo::removeLastZip() {}
