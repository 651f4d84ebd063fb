#pragma once
// The list layout PowerShell prints objects in (Format-List, and the default
// view of WMI objects with few properties): two empty lines, then one block
// per object with every property name padded to the longest so the colons
// line up, blocks separated by one empty line, and three empty lines after
// the last block. The checks cut that output by fixed character counts and
// line indices, so the frame must be exact.

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

namespace powershell {

using Property = QPair<QString, QString>;
using PropertyBlock = QVector<Property>;

// The lines of the listing, without line ends; no objects give no lines.
QStringList formatList(const QVector<PropertyBlock> &objects);

} // namespace powershell
