#pragma once
// A Windows machine's answers to every PowerShell command the headless
// runner's "all" sends, in the layout Windows prints them (CRLF line ends,
// wmic's "\r\r\n"), with names that need more than ASCII: a conflicting
// process "360Bürosoftware", a blocking firewall rule "Tessaly Règle
// entrante", an adapter "Verbindung über LAN". Written as an answers folder
// of the fixture PowerShell in the code page the console tools write in,
// so that the runner on Linux (UTF-8) and under Wine (code page 850) get
// the same texts and must write the same reports from them.

#include <QString>
#include <QStringList>

namespace windowsanswers {

// The names above, as they must reach the reports and the findings.
QString conflictingProcess();
QString firewallRule();
QString adapter();

// Every command's output, as text (the fixtures other tests mutate).
QStringList outputs();

// Writes the answers into folder (made when missing), each output encoded
// in the Windows code page given (65001: UTF-8). False when the folder or
// a file cannot be written, or the code page is unknown.
bool write(const QString &folder, unsigned codePage);

} // namespace windowsanswers
