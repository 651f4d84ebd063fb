// Stands in for the program's main function behind the tool's WinMain entry
// stub (src/app/winmain.cpp, linked as it is): it writes the arguments the
// stub hands on to standard output, each followed by a NUL byte, so the check
// can compare them byte for byte with the ones it put on the command line.
// As in the program, nothing here is named main: MinGW's start-up then
// enters the stub.

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

int supportToolMain(int argc, char *argv[])
{
    _setmode(_fileno(stdout), _O_BINARY);
    for (int i = 0; i < argc; ++i)
        std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, stdout);
    // argv ends with a null pointer, as the C runtime's does.
    return argv[argc] == nullptr && std::fflush(stdout) == 0 ? 0 : 1;
}
