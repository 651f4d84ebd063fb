#pragma once
// The nearest Linux fact to the installed Windows updates: the installed
// kernel packages and the updates applied from the package archive, as
// "package=version", listed the way systeminfo lists its hotfixes.

#include <QString>
#include <QStringList>

namespace powershell {

// Installed kernel images first, then the installed packages whose version
// came as an update (from the security archive when its package list is
// readable, otherwise from the upgrades in the package manager's history),
// under root ("/": var/lib and var/log below it).
QStringList readInstalledUpdates(const QString &root);

// The hotfix lines of systeminfo that "findstr KB" keeps: 27 blanks, the
// number in two digits at least, the update. None gives no line.
QStringList hotfixLines(const QStringList &updates);

} // namespace powershell
