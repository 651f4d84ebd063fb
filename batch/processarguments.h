#pragma once
// The runner's command-line arguments, after the program name. On Windows
// they are read from the process's wide command line, split as the system
// splits it, so a folder or archive name with any letters in it arrives
// whole; the C runtime's argv has them in the 8-bit code page, which loses
// every letter outside it. Elsewhere argv, decoded as the locale says.

#include <QStringList>

namespace processarguments {

QStringList of(int argc, char *argv[]);

} // namespace processarguments
