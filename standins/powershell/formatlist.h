#pragma once
// The layout of PowerShell's Format-List, which the cmdlets returning objects
// (Get-VpnConnection, Get-NetFirewallRule) use by default: one "Key : Value"
// line per property, the keys padded to the longest one, an empty line
// before the first object and after each one, and one more at the end.

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

namespace powershell {

using Property = QPair<QString, QString>;
using PropertyList = QVector<Property>;

// The lines of the objects in list layout, ready for standin::crlfLines.
// No object gives no line at all, as PowerShell prints nothing for an
// empty pipeline.
QStringList formatList(const QVector<PropertyList> &objects);

// A PowerShell boolean as it prints.
QString powershellBool(bool value);

} // namespace powershell
