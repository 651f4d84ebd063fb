#pragma once
// Showing the user where the archive went: the Windows file browser with
// the archive selected, or the desktop's file browser on its folder.

#include <QString>

class QObject;

namespace archivereveal {

// The archive's absolute path with "/" turned into "\\".
QString windowsPath(const QString &archivePath);
// "explorer.exe /select, " + the Windows path: the command the pane shows.
QString explorerCommandText(const QString &archivePath);
// The argument text explorer.exe is given: "/select," + the Windows path in
// double quotes, so that a folder name with blanks stays one path.
QString explorerArguments(const QString &archivePath);

// Whether there is a file browser to start: always on Windows; elsewhere
// when a desktop session exists and xdg-open is installed.
bool browserAvailable();
// Starts the file browser on the archive without waiting for it. Elsewhere
// than on Windows its process object is owned by `owner`; explorer.exe is
// started on its own and outlives the tool.
void startBrowser(QObject &owner, const QString &archivePath);

} // namespace archivereveal
