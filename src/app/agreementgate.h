#pragma once
// The first-run gate: the terms of use must have been accepted before the
// main window opens.

#include <QString>

#include <functional>

namespace agreement {

// Runs the terms dialog modally and returns its exec() result.
using DialogRunner = std::function<int()>;

// The dialog that start-up shows: an EULA, run with exec().
int runTermsDialog();

// True when the settings file at path records an explicit yes. Reads only.
bool consentRecorded(const QString &path);

// True when start-up may go on to the main window: the settings file at
// path records an explicit yes, or the dialog was accepted, which is then
// recorded. A refusal records 0 when no entry existed, so the file says the
// terms were asked. When the file could not be written (or read
// faithfully, so it is left alone), notRecorded receives the reason.
bool passGate(const QString &path, const DialogRunner &runDialog = runTermsDialog, QString *notRecorded = nullptr);

// What the user is told when the acceptance could not be recorded, for the
// reason passGate gave.
QString notRecordedNotice(const QString &reason);

} // namespace agreement
