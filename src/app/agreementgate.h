#pragma once
// The first-run gate: the terms of use must have been accepted before the
// main window opens.

#include <QSettings>

#include <functional>

namespace agreement {

// Runs the terms dialog modally and returns its exec() result.
using DialogRunner = std::function<int()>;

// The dialog that start-up shows: an EULA, run with exec().
int runTermsDialog();

// True when start-up may go on to the main window. Records acceptance in the
// settings; a refusal leaves the entry at 0 so the terms are asked again. A
// settings file that could not be read in full is never written.
bool passGate(QSettings &settings, const DialogRunner &runDialog = runTermsDialog);

} // namespace agreement
