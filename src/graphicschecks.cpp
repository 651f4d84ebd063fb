#include "displaysystemrelatedinfo.h"

#include "cancellation.h"
#include "d3d12probe.h"
#include "graphicsshaping.h"
#include "records.h"
#include "windowscommands.h"

void displaysystemrelatedinfo::getTdrInfo(QString &output)
{
    const QString answer = runCommand(windowscommands::tdrValues(), windowscommands::powerShell());
    if (cancellation::requested())
        return;
    const records::ShapedCheck shaped = graphicsshaping::tdrValues(answer);
    output += shaped.text;
    records::writeChecks(shaped.records);
}

void displaysystemrelatedinfo::checkD3D12Support()
{
    // The device exists only for the two questions and is released by the probe.
    records::writeChecks(graphicsshaping::d3d12Records(d3d12probe::probe()));
}
