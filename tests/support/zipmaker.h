#pragma once
// Zip archives made by the tests with libzip, good ones and ones made to
// harm a reader.

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

namespace testsupport {

using ZipEntries = QVector<QPair<QString, QByteArray>>;

// Writes an archive at path holding the entries (names as given, deflated
// unless stored is true). False when libzip refuses.
bool makeZip(const QString &path, const ZipEntries &entries, bool stored = false);

} // namespace testsupport
