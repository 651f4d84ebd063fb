// The system and software checks: installed updates, firewall, network and
// conflicting processes. The cutting lives in softwareshaping; these run the
// commands and write what the shaping composed. A command cut short by a
// close leaves its output empty and writes none of its findings.

#include "inspection/displaysystemrelatedinfo.h"
#include "inspection/windowscommands.h"
#include "process/cancellation.h"
#include "records/records.h"
#include "shaping/softwareshaping.h"

#include <QDebug>

namespace {

// Records of checks whose empty answer reads "there is none". When the
// command never answered (could not start, was stopped, crashed), saying
// so would claim a finding the tool did not make: the runner's warning
// records already tell what happened, and the check writes nothing more.
void writeAnsweredFindings(const softwareshaping::ShapedCheck &check)
{
    if (displaysystemrelatedinfo::lastCommandAnswered())
        records::writeChecks(check.records);
}

} // namespace

void displaysystemrelatedinfo::getSystemUpdateInfo(QString &output)
{
    output.clear();
    const softwareshaping::ShapedCheck updates =
        softwareshaping::systemUpdates(runCommand(windowscommands::installedUpdates(), windowscommands::powerShell()));
    if (cancellation::requested())
        return;
    output = updates.text;
    qDebug().noquote() << output;
    records::writeChecks(updates.records);
}

void displaysystemrelatedinfo::getFirewallInfo(QString &configuration, QString &rules)
{
    records::writeChecks({softwareshaping::firewallHeading()});
    configuration.clear();
    rules.clear();

    const softwareshaping::ShapedCheck profiles =
        softwareshaping::firewallConfiguration(runCommand(windowscommands::firewallProfiles(), windowscommands::powerShell()));
    if (cancellation::requested())
        return;
    configuration = profiles.text;
    writeAnsweredFindings(profiles);

    const softwareshaping::ShapedCheck tessalyRules =
        softwareshaping::firewallRules(runCommand(windowscommands::firewallRules(), windowscommands::powerShell()));
    if (cancellation::requested())
        return;
    rules = tessalyRules.text;
    writeAnsweredFindings(tessalyRules);
}

void displaysystemrelatedinfo::getNetworkInfo(QString &status, QString &vpn)
{
    records::writeChecks({softwareshaping::networkHeading()});
    status.clear();
    vpn.clear();

    const softwareshaping::ShapedCheck adapters =
        softwareshaping::networkStatus(runCommand(windowscommands::networkStatus(), windowscommands::powerShell()));
    if (cancellation::requested())
        return;
    status = adapters.text;
    records::writeChecks(adapters.records);

    const softwareshaping::ShapedCheck connections =
        softwareshaping::vpnConnections(runCommand(windowscommands::vpnConnections(), windowscommands::powerShell()));
    if (cancellation::requested())
        return;
    vpn = connections.text;
    writeAnsweredFindings(connections);
}

void displaysystemrelatedinfo::getProcessInfo(QString &output)
{
    output.clear();
    const softwareshaping::ShapedCheck processes =
        softwareshaping::conflictingProcesses(runCommand(windowscommands::conflictingProcesses(), windowscommands::powerShell()));
    if (cancellation::requested())
        return;
    output = processes.text;
    writeAnsweredFindings(processes);
}
