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

// When the command never answered in full (could not start, timed out,
// was stopped at the output limit, crashed), its empty or short output
// proves nothing was found no more than it proves anything else: the
// records saying there is none are withheld, all but the section separator
// they carry, which keeps the report's sections closed. The heading and
// what the command did write are kept. The runner's warning record says
// why the answer is missing.
void writeAnsweredFindings(const softwareshaping::ShapedCheck &check)
{
    records::writeChecks(displaysystemrelatedinfo::lastCommandAnswered()
                             ? check.records
                             : softwareshaping::withoutNoneClaims(check.records));
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
