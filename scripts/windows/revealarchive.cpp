// Reveals an archive the way the tool does on Windows: explorerselect::start
// (src/archive/explorerselect.cpp) with the archive's Windows path, given as
// the one argument. Ends with 0 when the system started the browser.

#include "archive/explorerselect.h"

#include <cstdio>

int wmain(int argc, wchar_t *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: revealarchive WINDOWS-PATH\n");
        return 2;
    }
    return explorerselect::start(argv[1]) ? 0 : 1;
}
