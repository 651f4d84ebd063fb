#pragma once
// The steps start-up takes before the window exists, kept apart from main()
// so they can be exercised on their own.

#include <QString>

namespace startup {

// The folder part of the program path: backslashes become slashes and the
// text after the last slash is dropped. A path without a slash is returned
// whole (changing into it then fails and the folder stays as it was).
QString installationFolderOf(const QString &programPath);

// Makes "./logs/SupportTool" exist. Returns false, with a reason, when it
// cannot be created or something other than a folder stands there.
bool ensureReportFolder(QString *reason);

// The four logging settings, applied in this order after initialisation;
// and no link to the latest file beside the reports.
void tuneLogging();

// The run log's first two records: the launcher version and the start.
void writeFirstRecords(const QString &versionId);

// Says that the report folder cannot be created, for the reason given: an
// ERROR record and a line on standard error. Returns the message, for a
// message box. Every action writes its report there; without the folder the
// tool would run its checks and silently keep nothing, so it stops instead.
QString reportUnusableReportFolder(const QString &reason);

// On systems without PowerShell and cmd, appends the folder of our stand-ins
// to the executable search path, so a program of the same name placed
// earlier on the path still wins.
void appendStandInsToSearchPath(const QString &programFolder);

// The notice for a settings file that is missing, or that is no plain file
// and so is ignored.
void noteSettingsFile();

} // namespace startup
