#pragma once
// The log folders the log collection packs, the copies it packs them from,
// and the leftovers of an older packing it clears away.

#include <QString>

namespace logfolders {

// The folder two levels above the application-data location, with a
// trailing "/": C:/Users/name/AppData/Roaming/app gives C:/Users/name/AppData/.
// Empty when the location has fewer levels than that.
QString appDataFolderOf(const QString &appDataLocation);
// The same for the running program's own application-data location. On
// systems other than Windows that location is XDG_DATA_HOME + "/SupportTool"
// when XDG_DATA_HOME holds an absolute path that is not a file (a relative
// one is ignored, as the XDG rule says), else ~/.local/share/SupportTool; a
// folder that would be the file system's root is never used either: the
// default is used instead.
QString appDataFolder();
// The data folder (XDG_DATA_HOME) to derive it from, given the variable's
// value and the user's home.
QString dataHomeOf(const QString &xdgDataHome, const QString &home);

// The installation's "logs" folder (it holds the tool's reports too) and its copy.
QString installationLogs();
QString installationCopy();

// The host application's per-user log folder and its copy, below the AppData folder.
QString perUserLogs(const QString &appDataFolder);
QString perUserCopy(const QString &appDataFolder);

// Left behind by older packings; deleted before a new archive is made.
inline QString leftoverArchive() { return QStringLiteral("logsSummon.zip"); }
// Written ".\logsSummon\" on Windows; the same folder on every system.
inline QString leftoverFolder() { return QStringLiteral("./logsSummon/"); }

} // namespace logfolders
