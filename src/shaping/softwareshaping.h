#pragma once
// Turning the outputs of the system and software commands (installed
// updates, firewall, network, conflicting processes) into the texts handed
// back to the actions and the records written to the report. Pure: no
// processes, no logging, so every cut and length test can be held against
// fixed Windows outputs.

#include "records/records.h"

#include <QString>
#include <QVector>

namespace softwareshaping {

using ShapedCheck = records::ShapedCheck;

// "systeminfo | findstr KB": the update lines without any blank.
ShapedCheck systemUpdates(const QString &output);

// Heading written before the firewall commands run.
records::CheckRecord firewallHeading();
// "netsh advfirewall show allprofiles".
ShapedCheck firewallConfiguration(const QString &output);
// "Get-NetFirewallRule": the last three characters (the blank lines the
// cmdlet prints after its last rule) are dropped.
ShapedCheck firewallRules(const QString &output);

// Heading written before the network commands run.
records::CheckRecord networkHeading();
// "ipconfig /all": its first character (the leading line feed) is dropped.
ShapedCheck networkStatus(const QString &output);
// "Get-Vpnconnection".
ShapedCheck vpnConnections(const QString &output);

// The conflicting-processes pipeline: the heading and either the notices
// with the list or the sentence that nothing was found.
ShapedCheck conflictingProcesses(const QString &output);

// The records of a command that did not answer in full: those saying
// there is none of something (no firewall configuration, no Tessaly rules,
// no VPN, no conflicting software) prove nothing then and are dropped, but
// a section separator closing one stays, as a record of its own line.
QVector<records::CheckRecord> withoutNoneClaims(const QVector<records::CheckRecord> &shaped);

} // namespace softwareshaping
