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

} // namespace softwareshaping
