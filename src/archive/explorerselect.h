#pragma once
// Starting the Windows file browser with one file selected. Free of Qt so
// the Windows-only start can be compile-checked on its own; the command
// line it builds is the same on every system, so it is tested everywhere.

#include <string>

namespace explorerselect {

// The argument text explorer.exe is given: "/select," + the path in double
// quotes, so that a folder name with blanks stays one path. explorer.exe
// parses its command line itself and wants the path right after the comma.
std::wstring arguments(const std::wstring &windowsPath);

#ifdef _WIN32
// Starts explorer.exe from the Windows folder (never one lying in the
// installation folder) with that argument text, without waiting for it and
// without keeping a handle: the browser lives on after the tool ends.
// Returns false when the system refused to start it.
bool start(const std::wstring &windowsPath);
#endif

} // namespace explorerselect
