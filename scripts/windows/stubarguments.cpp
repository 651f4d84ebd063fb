// Runs the tool's WinMain entry stub (src/app/winmain.cpp, compiled here with
// its call of main renamed to argumentsFromStub) and writes the arguments
// the stub hands on to standard output, each followed by a NUL byte, so the
// check can compare them byte for byte with the ones it put on the command
// line. MinGW's C runtime calls main rather than WinMain, so main here calls
// the stub the way Visual C++'s start-up code does.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

int argumentsFromStub(int argc, char *argv[])
{
    _setmode(_fileno(stdout), _O_BINARY);
    for (int i = 0; i < argc; ++i)
        std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, stdout);
    // argv ends with a null pointer, as the C runtime's does.
    return argv[argc] == nullptr && std::fflush(stdout) == 0 ? 0 : 1;
}

int main()
{
    return WinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT);
}
