#pragma once
// What the tool makes of a run of the probe program (d3d12probeline.h): the
// facts it printed, or, when it gave none, a failed creation and the reason.
// A probe that could not say anything must not be read as a finding about
// the device, yet the report still has to answer the check; "no device could
// be created" is the one thing the tool can honestly claim then.

#include "d3d12/d3d12probe.h"
#include "process/childwait.h"

#include <QString>

namespace d3d12probe {

// The name of the probe program, looked up on the search path (start-up
// appends the stand-ins folder, where it is installed).
QString programName();

struct Answer
{
    Facts facts;
    QString problem; // empty when the facts are the probe's own
};

// Reads a finished run of the probe. The facts are the last line of its
// standard output; anything a driver printed before it is ignored. A run that
// could not start, was stopped, crashed, ended with a non-zero code or left
// no readable line gives a failed creation and says why. timeoutMs is the
// limit the run had, for the reason text.
Answer answerOf(const childwait::Outcome &outcome, int timeoutMs);

} // namespace d3d12probe
