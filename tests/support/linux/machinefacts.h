#pragma once
// Facts of this machine that the tests read for themselves, to hold the
// stand-ins' answers against.

#include <QString>
#include <QStringList>

namespace testsupport {

// A whole file as text, or an empty text.
QString fileText(const QString &path);

// The disks the stand-in should list: block devices with a controller
// behind them and a medium in them, optical drives aside, by kernel name.
QStringList expectedDisks();

} // namespace testsupport
